#pragma once

#include "import/import_step.h"

namespace ludaro {

// The data steps that run, in this order and each once, after the level
// coding has been accepted and saved. A step whose input is missing says so
// and the chain goes on; any error stops the chain where it happens.
void RunImportChain(ImportStepContext& context);

}  // namespace ludaro
