#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds ASIGNOMT.DBF (one row per distinct subject key text, and one per
// teachers' activity) and ASIGNOMT2.DBF (one row per offer line) from the
// school's and the general subject offer and the activities file. Every
// subject gets a unique abbreviation of at most 10 characters; every offer
// line of a subject points to the abbreviation of its first line. The general
// offer adds only lines of the imported courses (CURSOST) or lines with a
// task. A missing file is reported, sets the result code to -1 and ends the
// step, keeping what it wrote; when the first file is missing the tables of an
// earlier import are left as they were.
void LeerMaterias(ImportStepContext& context);

}  // namespace ludaro
