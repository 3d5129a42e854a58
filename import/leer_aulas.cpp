#include "import/leer_aulas.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_deviation.h"
#include "import/abbreviation_schemes.h"
#include "import/first_names.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/used_abbreviations.h"

namespace ludaro {

void LeerAulas(ImportStepContext& context) {
  const auto file = RequiredXadeFile(context, "aulasCentro.csv", u"No existe archivo de Aulas (aulasCentro.CSV)");
  if (!file) return;
  XadeCsvReader reader(*file);
  dbf::Table aulas(context.htemp, kAulasTable);
  OpenNewTable(aulas, context.htemp, kAulasTable, AulasTableDef());

  // Whole codes, not the stored ones: a longer code is stored cut, and two
  // classrooms whose codes share their first 10 characters are still two.
  FirstNames present;
  UsedAbbreviations abbreviations(PrefixedNumber);
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerAulas", static_cast<std::uint64_t>(reader.LineNumber()));
    const std::u16string& code = line.Field(0);
    const std::u16string& name = line.Field(1);
    const auto seen = present.See(code, name, reader.LineNumber());
    if (!seen.first) {
      if (seen.otherLine != 0)
        context.log.DataWarned(DataWarning::ClassroomNameDiffers, reader.DisplayName(), reader.LineNumber(), code,
                               name, {}, seen.otherLine);
      context.log.RowLeftOut(LeftOutReason::DuplicateClassroom, reader.DisplayName(), reader.LineNumber(), code);
      continue;
    }

    const std::u16string abbreviation = abbreviations.Assign(code, NumberingPrefix(code));
    LogDeviation(context.log, kAulasTable, abbreviations.LastDeviation(), abbreviation);
    aulas.Append();
    aulas.SetString("ABREV", abbreviation);
    aulas.SetString("NOMBRE", name);
    aulas.SetString("CODAULA", code);
    aulas.Post();
    context.log.RowWritten(kAulasTable);
  }
  aulas.Close();
}

}  // namespace ludaro
