#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds CONVOCAXADE.DBF from convocatoriasCentro.csv: one row per data
// line, in file order, code and description. Returns false when the file is
// missing (the user has been told and the result code is -1): then the table
// stays empty and the import cannot go on.
bool LeerConvocatorias(ImportStepContext& context);

}  // namespace ludaro
