#include "import/guardar_codificacion.h"

#include "import/import_tables.h"

namespace ludaro {

// The saved coding is the user's work of earlier imports: it is changed on a
// copy that takes its place only once complete, so a failure or a run cut
// short leaves the coding of the last import whole.
void GuardarCodificacion(dbf::Table& cursos, dbf::Table& codificacion) {
  codificacion.Close();
  codificacion.OpenForReplacement(CursosTableDef());
  try {
    RequireLayout(codificacion, CursosTableDef());
    for (cursos.First(); !cursos.Eof(); cursos.Next()) {
      if (codificacion.Locate("CODCURSO", {cursos.AsString("CODCURSO")})) {
        codificacion.Edit();
        for (const char* field : {"TURNO", "NIVEL", "CURSO"}) codificacion.SetString(field, cursos.AsString(field));
      } else {
        codificacion.Append();
        for (const auto& field : CursosTableDef().fields)
          codificacion.SetString(field.name, cursos.AsString(field.name));
      }
      codificacion.Post();
    }
    codificacion.Close();
  } catch (...) {
    codificacion.Discard();
    throw;
  }
  cursos.Close();
}

}  // namespace ludaro
