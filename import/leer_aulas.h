#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds AULAT.DBF from aulasCentro.csv: one row per XADE classroom code,
// with the name of its first line and the code as abbreviation, or, where
// that is taken, its first 3 characters and a number.
// A missing file is reported and sets the result code to -1, leaving the
// table of an earlier import as it was.
void LeerAulas(ImportStepContext& context);

}  // namespace ludaro
