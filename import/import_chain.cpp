#include "import/import_chain.h"

#include "import/crear_asignaciones.h"
#include "import/leer_aulas.h"
#include "import/leer_grupos.h"
#include "import/leer_materias.h"
#include "import/leer_profesores.h"
#include "import/leer_subgrupos.h"

namespace ludaro {
namespace {

using ImportStep = void (*)(ImportStepContext&);

// Each step reads the tables the earlier ones wrote.
constexpr ImportStep kChain[] = {
    LeerGrupos,
    LeerSubgrupos,
    LeerMaterias,
    LeerProfesores,
    LeerAulas,
    CrearAsignaciones,
};

}  // namespace

void RunImportChain(ImportStepContext& context) {
  for (const ImportStep step : kChain) step(context);
}

}  // namespace ludaro
