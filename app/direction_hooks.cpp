#include "app/direction_hooks.h"

#include "app/main_form.h"

namespace ludaro {

// The import session (Importacion) and its convocatoria and level panels plug
// in here.
void StartImport(TMForm&, const std::wstring&) {}

// The export session (Exportacion) and its hour-template dialog plug in here.
void StartExport(TMForm&, const std::wstring&) {}

}  // namespace ludaro
