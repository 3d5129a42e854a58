#include "import/crear_convocatorias.h"

#include "common/dbf/table.h"
#include "import/import_tables.h"

namespace ludaro {

void CrearConvocatorias(ImportStepContext& context) {
  dbf::Table table(context.htemp, kConvocatoriasTable);
  table.Create(ConvocatoriasTableDef());
}

}  // namespace ludaro
