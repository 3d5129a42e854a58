#pragma once

#include "import/import_step.h"

namespace ludaro {

// Appends to GRUPOST.DBF one row per line of subgruposCentro.csv whose parent
// group (by XADE group code) is in the table, copying the parent's coding and
// XADE data, with the parent's abbreviation numbered 1, 2, 3 ... A missing
// table or file is reported; neither touches the result code.
void LeerSubgrupos(ImportStepContext& context);

}  // namespace ludaro
