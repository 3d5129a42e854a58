#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds PROFT.DBF (index tag ABREV) from profesoresGrupoCentro.csv: one row
// per XADE employee code, with the name of its first line and a unique
// abbreviation of at most 10 characters made of the name's capitals. A
// missing file is reported and sets the result code to -1, leaving the table
// of an earlier import as it was.
void LeerProfesores(ImportStepContext& context);

}  // namespace ludaro
