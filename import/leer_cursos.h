#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds CURSOST.DBF (with its CODCURSO tag) from gruposCentro.csv: one
// row per XADE course code of the chosen convocatoria, named by the first
// line of that course; the codes the user gives stay empty. A missing groups
// file is reported and sets the result code to -1, leaving the table empty.
// A stopped run leaves no handle open on the table, so it can be rebuilt at
// once.
void LeerCursos(ImportStepContext& context);

}  // namespace ludaro
