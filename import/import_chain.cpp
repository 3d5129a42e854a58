#include "import/import_chain.h"

#include "import/crear_asignaciones.h"
#include "import/leer_aulas.h"
#include "import/leer_grupos.h"
#include "import/leer_materias.h"
#include "import/leer_profesores.h"
#include "import/leer_subgrupos.h"

namespace ludaro {
namespace {

struct ImportStep {
  const char* name;
  void (*run)(ImportStepContext&);
};

// Each step reads the tables the earlier ones wrote.
constexpr ImportStep kChain[] = {
    {"LeerGrupos", LeerGrupos},
    {"LeerSubgrupos", LeerSubgrupos},
    {"LeerMaterias", LeerMaterias},
    {"LeerProfesores", LeerProfesores},
    {"LeerAulas", LeerAulas},
    {"CrearAsignaciones", CrearAsignaciones},
};

}  // namespace

void RunImportChain(ImportStepContext& context) {
  for (const ImportStep& step : kChain) {
    context.log.StepStarted(step.name);
    step.run(context);
  }
}

}  // namespace ludaro
