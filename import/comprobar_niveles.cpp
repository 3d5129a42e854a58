#include "import/comprobar_niveles.h"

#include "common/dbf/table.h"
#include "common/utf.h"
#include "import/import_tables.h"

namespace ludaro {

std::vector<CursoIncompleto> ComprobarNiveles(ImportStepContext& context) {
  dbf::Table cursos(context.htemp, kCursosTable);
  cursos.Open();
  RequireLayout(cursos, CursosTableDef());
  std::vector<CursoIncompleto> incompletos;
  for (cursos.First(); !cursos.Eof(); cursos.Next()) {
    CursoIncompleto curso{cursos.AsString("CODCURSO"), cursos.AsString("NOMECURSO"), cursos.AsString("NIVEL").empty(),
                          cursos.AsString("CURSO").empty()};
    if (curso.sinNivel || curso.sinCurso) incompletos.push_back(std::move(curso));
  }
  cursos.Close();
  context.state.nFalloNiveles = incompletos.empty() ? 0 : 1;
  return incompletos;
}

std::vector<std::string> IncompleteCoursesForReport(const std::vector<CursoIncompleto>& incompletos) {
  std::vector<std::string> lines;
  for (const auto& curso : incompletos) {
    const char* missing = curso.sinNivel && curso.sinCurso ? "faltan NIVEL y CURSO"
                          : curso.sinNivel                 ? "falta NIVEL"
                                                           : "falta CURSO";
    lines.push_back("curso " + U16ToUtf8(curso.codCurso) + " (" + U16ToUtf8(curso.nomeCurso) + "): " + missing);
  }
  return lines;
}

}  // namespace ludaro
