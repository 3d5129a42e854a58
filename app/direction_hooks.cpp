#include "app/direction_hooks.h"

#include <filesystem>
#include <memory>

#include "app/import_panels.h"
#include "app/main_form.h"
#include "app/control_plantilla.h"
#include "app/resource_ids.h"
#include "common/platform/platform.h"
#include "common/session/error_report.h"
#include "common/session/run_report.h"
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
// Its report is left however it ends; an error goes on to the window's
// error report.
void StartExport(TMForm& form, const std::wstring& folder) {
  RunReport report(ReportedDirection::Export);
  ReportingDialog dialog(form.dialog(), report);
  Exportacion exportacion(form.state(), dialog);
  exportacion.SetRunLog(report);
  report.Setting("Carpeta para HORARIO.CSV", std::filesystem::path(folder).u8string());
  report.Setting("Carpeta de trabajo", platform::HtempFolder().u8string());
  const auto leave = [&] {
    report.Ended(form.state().nTransformado);
    form.LeaveRunReport(report, ReportedDirection::Export);
  };
  try {
    if (!exportacion.Iniciar(std::filesystem::path(folder))) {
      report.Stopped("la carpeta para HORARIO.CSV no existe");
      leave();
      return;
    }
    {
      TControlPlantilla controlPlantilla(form.handle(), exportacion, form.dialog(), form.help());
      controlPlantilla.ShowModal();
    }
    exportacion.Aceptar();
    exportacion.Exportar();
    report.FileWritten(exportacion.horarioCsv().filename().u8string(), exportacion.lineas());
  } catch (const std::exception& error) {
    report.Stopped(OneLine(ErrorReportText(error)));
    leave();
    throw;
  }
  leave();
  // Only ever disabled: a finished export cannot run again in this run.
  const ExportacionView& view = exportacion.view();
  if (!view.exportarEnabled) EnableWindow(form.Control(IDC_BEXPORTAR), FALSE);
  if (!view.importarEnabled) EnableWindow(form.Control(IDC_BIMPORTAR), FALSE);
}

}  // namespace ludaro
