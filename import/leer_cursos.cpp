#include "import/leer_cursos.h"

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/import_tables.h"
#include "import/stored_text.h"

namespace ludaro {

void LeerCursos(ImportStepContext& context) {
  dbf::Table table(context.htemp, kCursosTable);
  table.Create(CursosTableDef());

  const auto file = RequiredXadeFile(context, "gruposCentro.CSV", u"No existe archivo de Grupos(gruposCentro.CSV)");
  if (!file) return;
  const int codeWidth = FieldWidth(CursosTableDef(), "CODCURSO");
  XadeCsvReader reader(*file);
  // Just created, so no other handle has it: held exclusively, its rows are
  // written in batches rather than one header update per course.
  table.SetExclusive(true);
  table.Open();
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    if (reader.LineNumber() % kProgressLines == 0)
      context.dialog.Progress(u"LeerCursos", static_cast<std::uint64_t>(reader.LineNumber()));
    if (line.Field(0) != context.convocatoria) continue;
    const std::u16string& code = line.Field(1);
    if (table.Locate("CODCURSO", {StoredText(code, codeWidth)})) continue;
    const std::u16string& name = line.Field(4);
    table.Append();
    table.SetString("NOMECURSO", name);
    table.SetString("CODCURSO", code);
    table.Post();
    context.log.RowWritten(kCursosTable);
  }
  table.Close();
}

}  // namespace ludaro
