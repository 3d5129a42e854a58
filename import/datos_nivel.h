#pragma once

// The data side of the level panel: the course grid's table and the offer to
// bring back the coding of an earlier import.

#include "common/dbf/table.h"
#include "import/import_step.h"

namespace ludaro {

// Opens the grid's course table (in CODCURSO order) on its first row.
// Returns false, after telling the user and setting the result code to -1,
// when CURSOST.DBF does not exist.
bool AbrirCursos(ImportStepContext& context, dbf::Table& cursos);

// Asks whether to recover the saved coding when CURSOST2.DBF exists. On OK
// every course with a saved row takes its TURNO, NIVEL and CURSO (empty ones
// included) and `codificacion` stays open on CURSOST2; on Cancel CURSOST2.DBF
// is deleted (its .MDX is replaced when the table is next created).
void RecuperarCodificacion(ImportStepContext& context, dbf::Table& cursos, dbf::Table& codificacion);

// Opens the saved coding (a no-op when open) after checking its layout.
void AbrirCodificacion(dbf::Table& codificacion);

}  // namespace ludaro
