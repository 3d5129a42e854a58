#pragma once

#include "common/dbf/table.h"

namespace ludaro {

// Keeps the accepted coding for later imports: creates CURSOST2.DBF (with its
// CODCURSO tag) when it does not exist, overwrites TURNO, NIVEL and CURSO of
// every saved course that is in the grid and appends the others whole; saved
// courses not in the grid stay. The new coding replaces the saved one all at
// once, or not at all when something fails. Closes both tables.
void GuardarCodificacion(dbf::Table& cursos, dbf::Table& codificacion);

}  // namespace ludaro
