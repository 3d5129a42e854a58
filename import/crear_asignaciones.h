#pragma once

#include "import/import_step.h"

namespace ludaro {

// Rebuilds ASIGT.DBF from GRUPOST, ASIGNOMT2 and ASIGNOMT: one row per whole
// group and subject offered for the group's course, in the order of the
// groups and, within a group, of the offer; a subject is assigned to a group
// once, the first offer line deciding its task. Subgroup rows get none. A
// missing input table stops the step with an error naming it.
void CrearAsignaciones(ImportStepContext& context);

}  // namespace ludaro
