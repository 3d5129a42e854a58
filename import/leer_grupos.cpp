#include "import/leer_grupos.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_deviation.h"
#include "import/first_names.h"
#include "import/group_abbreviations.h"
#include "import/import_tables.h"
#include "import/stored_text.h"

namespace ludaro {
namespace {

void WarnOfOtherName(ImportStepContext& context, const XadeCsvReader& reader, DataWarning warning,
                     HashedFirstNames& names, const std::u16string& code, const std::u16string& name) {
  if (const long otherLine = names.See(code, name, reader.LineNumber()))
    context.log.DataWarned(warning, reader.DisplayName(), reader.LineNumber(), code, name, {}, otherLine);
}

}  // namespace

void LeerGrupos(ImportStepContext& context) {
  dbf::Table grupos(context.htemp, kGruposTable);
  grupos.Create(GruposTableDef());

  // Made before the file is looked for: without it the table stays empty.
  const auto file =
      RequiredXadeFile(context, "gruposCentro.csv", u"No existe archivo de Grupos (gruposCentro.CSV)");
  if (!file) return;
  XadeCsvReader reader(*file);
  grupos.SetExclusive(true);
  grupos.Open();
  dbf::Table cursos(context.htemp, kCursosTable);
  cursos.Open();
  RequireLayout(cursos, CursosTableDef());

  const int codeWidth = FieldWidth(CursosTableDef(), "CODCURSO");
  GroupAbbreviations abbreviations;
  HashedFirstNames courseNames;
  HashedFirstNames groupNames;
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerGrupos", static_cast<std::uint64_t>(reader.LineNumber()));
    if (line.Field(0) != context.convocatoria) {
      context.log.RowLeftOut(LeftOutReason::OtherConvocatoria, reader.DisplayName(), reader.LineNumber(),
                             line.Field(0));
      continue;
    }
    const std::u16string& codCurso = line.Field(1);
    if (!cursos.Locate("CODCURSO", {StoredText(codCurso, codeWidth)})) {
      context.log.RowLeftOut(LeftOutReason::CourseNotFound, reader.DisplayName(), reader.LineNumber(), codCurso);
      continue;
    }
    const std::u16string& codGrupo = line.Field(2);
    const std::u16string& nomeGrupo = line.Field(3);
    const std::u16string& nomeCurso = line.Field(4);
    const std::u16string& nomeAbrevGrupo = line.Field(5);
    WarnOfOtherName(context, reader, DataWarning::CourseNameDiffers, courseNames, codCurso, nomeCurso);
    WarnOfOtherName(context, reader, DataWarning::GroupNameDiffers, groupNames, codGrupo, nomeGrupo);
    const std::u16string turno = cursos.AsString("TURNO");
    const std::u16string nivel = cursos.AsString("NIVEL");
    const std::u16string curso = cursos.AsString("CURSO");

    const std::u16string abbreviation = abbreviations.ForGroup(nivel + curso + nomeGrupo);
    LogDeviation(context.log, kGruposTable, abbreviations.LastDeviation(), abbreviation);

    grupos.Append();
    grupos.SetString("ABREV", abbreviation);
    grupos.SetString("TURNO", turno);
    grupos.SetString("NIVEL", nivel);
    grupos.SetString("CURSO", curso);
    grupos.SetString("GRUPO", nomeGrupo);
    grupos.SetString("MARCO", u"0");
    grupos.SetString("DESCRIP", nomeCurso + u" / " + nomeGrupo);
    grupos.SetString("CODGRUXADE", codGrupo);
    grupos.SetString("CODCURSOXADE", codCurso);
    grupos.SetString("NOMEGRUPOXADE", nomeGrupo);
    grupos.SetString("NOMEABREVGRUPXADE", nomeAbrevGrupo);
    grupos.SetString("NOMECURSOXADE", nomeCurso);
    grupos.Post();
    context.log.RowWritten(kGruposTable);
  }
  cursos.Close();
  grupos.Close();
}

}  // namespace ludaro
