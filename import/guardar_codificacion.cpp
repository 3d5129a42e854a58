#include "import/guardar_codificacion.h"

#include "import/datos_nivel.h"
#include "import/import_tables.h"

namespace ludaro {

void GuardarCodificacion(ImportStepContext& context, dbf::Table& cursos, dbf::Table& codificacion) {
  if (!ExistingTableFile(context, kCodificacionTable)) {
    codificacion.Close();
    codificacion.Create(CursosTableDef());
  }
  AbrirCodificacion(codificacion);
  for (cursos.First(); !cursos.Eof(); cursos.Next()) {
    if (codificacion.Locate("CODCURSO", {cursos.AsString("CODCURSO")})) {
      codificacion.Edit();
      for (const char* field : {"TURNO", "NIVEL", "CURSO"}) codificacion.SetString(field, cursos.AsString(field));
    } else {
      codificacion.Append();
      for (const auto& field : CursosTableDef().fields) codificacion.SetString(field.name, cursos.AsString(field.name));
    }
    codificacion.Post();
  }
  codificacion.Close();
  cursos.Close();
}

}  // namespace ludaro
