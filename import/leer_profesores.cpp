#include "import/leer_profesores.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_schemes.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/stored_text.h"
#include "import/used_abbreviations.h"

namespace ludaro {

void LeerProfesores(ImportStepContext& context) {
  const auto file = XadeFile(context, "profesoresGrupoCentro.csv");
  if (!file) {
    context.dialog.Message(u"No existe archivo de profesores (profesoresGrupoCentro.csv)");
    context.state.nTransformado = -1;
    return;
  }
  XadeCsvReader reader(*file);
  dbf::DeleteTable(context.htemp, kProfesoresTable);
  dbf::Table profesores(context.htemp, kProfesoresTable);
  profesores.Create(ProfesoresTableDef());
  profesores.SetExclusive(true);
  profesores.Open();

  const int codeWidth = FieldWidth(ProfesoresTableDef(), "X_EMPLEADO");
  UsedAbbreviations abbreviations(PrefixedNumber);
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerProfesores", static_cast<std::uint64_t>(reader.LineNumber()));
    const std::u16string& name = line.Field(2);
    const std::u16string& employee = line.Field(0);
    // The stored code is what a later line must find: a longer one is cut.
    if (profesores.Locate("X_EMPLEADO", {StoredText(employee, codeWidth)})) continue;

    const std::u16string own = TeacherAbbreviation(name);
    profesores.Append();
    profesores.SetString("ABREV", abbreviations.Assign(own, NumberingPrefix(own)));
    profesores.SetString("NOMBRE", name);
    profesores.SetString("X_EMPLEADO", employee);
    profesores.Post();
  }
  profesores.Close();
}

}  // namespace ludaro
