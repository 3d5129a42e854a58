#include "import/leer_convocatorias.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/crear_convocatorias.h"
#include "import/import_tables.h"

namespace ludaro {

bool LeerConvocatorias(ImportStepContext& context) {
  CrearConvocatorias(context);
  dbf::Table table(context.htemp, kConvocatoriasTable);

  const auto file = RequiredXadeFile(context, "convocatoriasCentro.csv",
                                     u"No existe archivo de Convocatorias(convocatoriasCentro.CSV)");
  if (!file) return false;
  XadeCsvReader reader(*file);
  table.Open();
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    const std::u16string& code = line.Field(0);
    const std::u16string& description = line.Field(1);
    table.Append();
    table.SetString("CONVOCATORIA", code);
    table.SetString("DESCRIPCION", description);
    table.Post();
    context.log.RowWritten(kConvocatoriasTable);
  }
  table.Close();
  return true;
}

}  // namespace ludaro
