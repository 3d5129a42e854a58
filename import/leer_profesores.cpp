#include "import/leer_profesores.h"

#include <vector>

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_deviation.h"
#include "import/abbreviation_schemes.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/first_names.h"
#include "import/used_abbreviations.h"

namespace ludaro {
namespace {

// One row a teacher, each with an abbreviation of its own. What this needs
// to remember goes with it, before the table's index is built on Close.
void WriteTeachers(ImportStepContext& context, XadeCsvReader& reader, dbf::Table& profesores) {
  // Whole codes, not the stored ones: a longer code is stored cut, and two
  // teachers whose codes share their first 10 characters are still two.
  FirstNames present;
  // By a teacher's number in `present`: some line of theirs names a group.
  std::vector<bool> withGroup;
  UsedAbbreviations abbreviations(PrefixedNumber);
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerProfesores", static_cast<std::uint64_t>(reader.LineNumber()));
    const std::u16string& name = line.Field(2);
    const std::u16string& employee = line.Field(0);
    const auto seen = present.See(employee, name, reader.LineNumber());
    if (seen.first) withGroup.push_back(false);
    if (!line.Field(1).empty()) withGroup[seen.number] = true;
    if (!seen.first) {
      if (seen.otherLine != 0)
        context.log.DataWarned(DataWarning::TeacherNameDiffers, reader.DisplayName(), reader.LineNumber(), employee,
                               name, {}, seen.otherLine);
      context.log.RowLeftOut(LeftOutReason::DuplicateTeacher, reader.DisplayName(), reader.LineNumber(), employee);
      continue;
    }

    const std::u16string own = TeacherAbbreviation(name);
    const std::u16string abbreviation = abbreviations.Assign(own, NumberingPrefix(own));
    LogDeviation(context.log, kProfesoresTable, abbreviations.LastDeviation(), abbreviation);
    profesores.Append();
    profesores.SetString("ABREV", abbreviation);
    profesores.SetString("NOMBRE", name);
    profesores.SetString("X_EMPLEADO", employee);
    profesores.Post();
    context.log.RowWritten(kProfesoresTable);
  }
  for (std::uint32_t teacher = 0; teacher < withGroup.size(); ++teacher)
    if (!withGroup[teacher])
      context.log.DataWarned(DataWarning::TeacherWithoutGroup, reader.DisplayName(), present.FirstLine(teacher),
                             present.Code(teacher), {}, {}, 0);
}

}  // namespace

void LeerProfesores(ImportStepContext& context) {
  const auto file = RequiredXadeFile(context, "profesoresGrupoCentro.csv",
                                     u"No existe archivo de profesores (profesoresGrupoCentro.csv)");
  if (!file) return;
  XadeCsvReader reader(*file);
  dbf::Table profesores(context.htemp, kProfesoresTable);
  OpenNewTable(profesores, context.htemp, kProfesoresTable, ProfesoresTableDef());
  WriteTeachers(context, reader, profesores);
  profesores.Close();
}

}  // namespace ludaro
