#include "import/datos_nivel.h"

#include "common/platform/platform.h"
#include "import/import_tables.h"

namespace ludaro {

bool AbrirCursos(ImportStepContext& context, dbf::Table& cursos) {
  if (!ExistingTableFile(context, kCursosTable)) {
    context.dialog.Message(u"No existe archivo del Cursos (CURSOST.DBF)");
    context.state.nTransformado = -1;
    return false;
  }
  if (!cursos.Active()) {
    cursos.SetIndexName(kCodCursoTag);
    cursos.Open();
    RequireLayout(cursos, CursosTableDef());
  }
  cursos.First();
  return true;
}

void AbrirCodificacion(dbf::Table& codificacion) {
  if (codificacion.Active()) return;
  codificacion.Open();
  try {
    RequireLayout(codificacion, CursosTableDef());
  } catch (...) {
    codificacion.Close();
    throw;
  }
}

void RecuperarCodificacion(ImportStepContext& context, dbf::Table& cursos, dbf::Table& codificacion) {
  const auto saved = ExistingTableFile(context, kCodificacionTable);
  if (!saved) return;
  const bool recover = context.dialog.Question(u"Recuperación de Niveles y Cursos importados anteriormente",
                                               u"Existen Niveles y Cursos ya definidos de una Importación anterior.\n\r"
                                               u"¿Quiere recuperar las codificaciones introducidas anteriormente?");
  if (!recover) {
    // An open handle would keep the file from being deleted.
    codificacion.Close();
    platform::DeleteFileIfExists(*saved);
    return;
  }
  AbrirCodificacion(codificacion);
  for (cursos.First(); !cursos.Eof(); cursos.Next()) {
    if (!codificacion.Locate("CODCURSO", {cursos.AsString("CODCURSO")})) continue;
    cursos.Edit();
    for (const char* field : {"TURNO", "NIVEL", "CURSO"}) cursos.SetString(field, codificacion.AsString(field));
    cursos.Post();
  }
  cursos.First();
}

}  // namespace ludaro
