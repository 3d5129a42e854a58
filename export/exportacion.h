#pragma once

// The export from Horalia's timetable to XADE as one session, driven the same
// way by the main window and by ludaro-cli:
//
//   Iniciar(folder)      the export button: folder check, then the hour
//                        template kept or built; true when the template
//                        dialog is to be shown
//   EntrarRejilla() ...  what the template dialog does with the template
//   Aceptar()            "Aceptar": stores the row in edit, closes the template
//   Exportar()           the timetable export to HORARIO.CSV, then
//                        "Proceso finalizado"
//
// Messages go through the UserDialog; an error stops the operation and is
// rethrown for the caller's error report. An export stopped by an error can
// be started again with Iniciar; a finished one cannot.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/dbf/table.h"
#include "common/session/run_log.h"
#include "common/session/run_state.h"
#include "common/session/user_dialog.h"
#include "export/plantilla.h"

namespace ludaro {

// The two direction buttons of the main window, as the export leaves them.
struct ExportacionView {
  bool exportarEnabled = true;  // BExportar, the import's button
  bool importarEnabled = true;  // BImportar, the export's own button
};

class Exportacion {
 public:
  enum class Phase {
    NotStarted,       // no folder accepted yet, or stopped by an error
    EditingTemplate,  // the template dialog is up
    Finished,         // HORARIO.CSV written; no second export in this run
  };

  // `htempOverride` as platform::HtempFolder takes it; the working folder is
  // fixed when Iniciar accepts the folder.
  Exportacion(RunState& state, UserDialog& dialog, std::optional<std::filesystem::path> htempOverride = std::nullopt);
  ~Exportacion();
  Exportacion(const Exportacion&) = delete;
  Exportacion& operator=(const Exportacion&) = delete;

  // BImportarClick up to the dialog. `folder` is the folder of the folder
  // list. False when it does not exist: "No existe la carpeta" was said and,
  // on behalf of Horalia, the result code set to 0 and closing requested.
  bool Iniciar(const std::filesystem::path& folder);

  // ---- the template dialog (TControlPlantilla), while phase() is EditingTemplate

  // wwTablePlantilla: the template in stored order. The dialog reads it for
  // display through filas() and changes it only through the operations below,
  // which check what is typed.
  dbf::Table& plantilla();
  // The rows as stored, and the row the grid is on (an index into filas(),
  // or filas().size() for the new row of an empty template).
  const std::vector<HoraPlantilla>& filas() const { return filas_; }
  std::size_t posicion() const { return posicion_; }

  // PlantiHorDBGridEnter: opens the template and puts the current row into
  // edit; on an empty template that starts a new row.
  void EntrarRejilla();
  // The user typed into the row in edit. A start time that is not HH:MM from
  // 00:00 to 24:00, or an hour that is not a whole number, is refused with a
  // message and leaves the row as it was, still in edit.
  bool FijarHoraInicio(std::u16string_view text);
  bool FijarHora(std::u16string_view text);
  // PlantiHorDBGridExit and the navigator's "store": stores the row in edit.
  // A new row nobody typed into is dropped rather than stored as a blank hour.
  void GuardarFila();
  // The navigator's "cancel": the row in edit goes back to what it was.
  void CancelarFila();
  // Moving in the grid: stores the row left, then puts row `position` (of
  // filas()) into edit.
  void MoverAFila(std::size_t position);
  // "Aceptar", or the dialog closed another way: stores the row in edit and
  // closes the template.
  void Aceptar();

  // ---- after the dialog

  // Importar2: HORARIOXADECSV and HORARIO.CSV, the result code 1, "Proceso
  // finalizado", both directions disabled and, on behalf of Horalia, closing
  // requested.
  void Exportar();

  // Where the facts of the run go; nowhere unless this is called. `log` must
  // outlive the session.
  void SetRunLog(RunLog& log) { log_ = &log; }

  Phase phase() const { return phase_; }
  const ExportacionView& view() const { return view_; }
  // Where the template came from in the last Iniciar.
  OrigenPlantilla origenPlantilla() const { return origen_; }
  // HORARIO.CSV once written, and how many lines it holds.
  const std::filesystem::path& horarioCsv() const { return horarioCsv_; }
  std::uint64_t lineas() const { return lineas_; }

 private:
  void RequirePhase(Phase phase, const char* operation) const;
  void ReadRows();
  void OpenSources();
  void ReleaseSources();
  void Importar2();

  RunState& state_;
  UserDialog& dialog_;
  RunLog* log_ = &NullRunLog();
  std::optional<std::filesystem::path> htempOverride_;
  std::filesystem::path dirTxt_;
  std::filesystem::path htemp_;
  Phase phase_ = Phase::NotStarted;
  ExportacionView view_;
  OrigenPlantilla origen_ = OrigenPlantilla::Conservada;

  std::unique_ptr<dbf::Table> wwTablePlantilla_;
  std::vector<HoraPlantilla> filas_;
  std::size_t posicion_ = 0;
  bool filaTocada_ = false;  // something was typed into the row in edit

  // The components Importar2 opens, in its order; DIASHORAST may already be
  // open from the template step.
  std::unique_ptr<dbf::Table> wwTableSoluc_;
  std::unique_ptr<dbf::Table> wwTableGrupos_;
  std::unique_ptr<dbf::Table> wwTableProfesor_;
  std::unique_ptr<dbf::Table> wwTableAulas_;
  std::unique_ptr<dbf::Table> wwTableNomAsg2_;
  std::unique_ptr<dbf::Table> wwTableDiasHorasT_;

  std::filesystem::path horarioCsv_;
  std::uint64_t lineas_ = 0;
};

}  // namespace ludaro
