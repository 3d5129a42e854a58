#include "app/direction_hooks.h"

#include <filesystem>
#include <memory>

#include "app/import_panels.h"
#include "app/main_form.h"
#include "app/control_plantilla.h"
#include "app/resource_ids.h"
#include "export/exportacion.h"

namespace ludaro {

// The import's panels stay with the window after the button's handler, since
// the session goes on from their buttons; a missing folder leaves them for the
// next press.
void StartImport(TMForm& form, const std::wstring& folder) {
  if (!form.importPanels()) form.KeepImportPanels(std::make_unique<ImportPanels>(form));
  form.importPanels()->Start(folder);
}

// The export runs to its end inside the button's handler: the hour-template
// dialog is modal, and the timetable export follows it however it closed.
void StartExport(TMForm& form, const std::wstring& folder) {
  Exportacion exportacion(form.state(), form.dialog());
  if (!exportacion.Iniciar(std::filesystem::path(folder))) return;
  {
    TControlPlantilla controlPlantilla(form.handle(), exportacion, form.dialog(), form.help());
    controlPlantilla.ShowModal();
  }
  exportacion.Aceptar();
  exportacion.Exportar();
  // Only ever disabled: a finished export cannot run again in this run.
  const ExportacionView& view = exportacion.view();
  if (!view.exportarEnabled) EnableWindow(form.Control(IDC_BEXPORTAR), FALSE);
  if (!view.importarEnabled) EnableWindow(form.Control(IDC_BIMPORTAR), FALSE);
}

}  // namespace ludaro
