#include "import/leer_aulas.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_schemes.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/stored_text.h"
#include "import/used_abbreviations.h"

namespace ludaro {

void LeerAulas(ImportStepContext& context) {
  const auto file = XadeFile(context, "aulasCentro.csv");
  if (!file) {
    context.dialog.Message(u"No existe archivo de Aulas (aulasCentro.CSV)");
    context.state.nTransformado = -1;
    return;
  }
  XadeCsvReader reader(*file);
  dbf::DeleteTable(context.htemp, kAulasTable);
  dbf::Table aulas(context.htemp, kAulasTable);
  aulas.Create(AulasTableDef());
  aulas.SetExclusive(true);
  aulas.Open();

  const int codeWidth = FieldWidth(AulasTableDef(), "CODAULA");
  UsedAbbreviations abbreviations(PrefixedNumber);
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerAulas", static_cast<std::uint64_t>(reader.LineNumber()));
    const std::u16string& code = line.Field(0);
    const std::u16string& name = line.Field(1);
    // Two codes the table stores alike are one classroom to everyone who
    // reads it, so the stored code is what a later line must find.
    if (aulas.Locate("CODAULA", {StoredText(code, codeWidth)})) continue;

    aulas.Append();
    aulas.SetString("ABREV", abbreviations.Assign(code, NumberingPrefix(code)));
    aulas.SetString("NOMBRE", name);
    aulas.SetString("CODAULA", code);
    aulas.Post();
  }
  aulas.Close();
}

}  // namespace ludaro
