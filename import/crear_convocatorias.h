#pragma once

#include "import/import_step.h"

namespace ludaro {

// Replaces CONVOCAXADE.DBF in the working folder with an empty table, so a
// new import never adds to the convocatorias of an earlier one.
void CrearConvocatorias(ImportStepContext& context);

}  // namespace ludaro
