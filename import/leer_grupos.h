#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds GRUPOST.DBF from gruposCentro.csv: one row per group of the chosen
// convocatoria whose course is in CURSOST.DBF (found by its XADE course
// code), with the course's TURNO, NIVEL and CURSO and a unique abbreviation.
// A missing groups file is reported and sets the result code to -1, leaving
// the table empty.
void LeerGrupos(ImportStepContext& context);

}  // namespace ludaro
