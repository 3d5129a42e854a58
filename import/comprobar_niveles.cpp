#include "import/comprobar_niveles.h"

#include "common/dbf/table.h"
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

}  // namespace ludaro
