#pragma once

// The import from XADE into Horalia's working tables as one session, driven
// the same way by the main window and by ludaro-cli:
//
//   Iniciar(folder)   the import button: folder check, convocatorias, choice panel
//   Continuar()       "Continuar": the course table, level panel, recovery question
//   Aceptar()         "Aceptar": level check, save the coding, the chain of steps
//   Volver()          "Volver a los Datos" after a failed check
//
// Each operation tells the user what the steps say through the UserDialog and
// leaves in view() what the window must show, hide and enable. An error stops
// the operation and is rethrown for the caller's error report, after view()
// has been brought to a state from which nothing half-done can run again.
//
// The session owns the table handles the panels show: convocatorias() (its
// current row is the chosen convocatoria) for the choice grid, cursos() (in
// CODCURSO order) for the level grid.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/dbf/table.h"
#include "common/session/run_log.h"
#include "common/session/run_state.h"
#include "common/session/user_dialog.h"
#include "import/comprobar_niveles.h"
#include "import/import_step.h"

namespace ludaro {

// What the main window shows of the import. Controls are only ever disabled or
// hidden as the import goes on, never brought back, except the level panel's
// own buttons and warning between a failed check and "Volver a los Datos".
struct ImportacionView {
  bool exportarEnabled = true;          // BExportar, the import's own button
  bool importarEnabled = true;          // BImportar, the other direction
  bool folderListsShown = true;         // Directorios and Unidades
  bool convocatoriaPanelShown = false;  // Panel1
  bool levelPanelShown = false;         // Panel2
  bool aceptarShown = true;             // BitBtn2 "Aceptar"
  bool volverShown = false;             // Button2 "Volver a los Datos"
  bool warningShown = false;            // Label9
  bool levelGridEditable = true;        // TURNO, NIVEL, CURSO of the level grid
};

class Importacion {
 public:
  enum class Phase {
    NotStarted,            // folder not yet accepted
    ChoosingConvocatoria,  // Panel1 shown
    CodingLevels,          // Panel2 shown, "Aceptar" available
    CheckFailed,           // Panel2 shown with the warning, "Volver a los Datos" available
    Finished,              // the chain ran to its end
    Stopped,               // cannot go on: missing convocatorias, or an error report
  };

  // `htempOverride` as platform::HtempFolder takes it; the working folder is
  // fixed when Iniciar accepts the folder.
  Importacion(RunState& state, UserDialog& dialog, std::optional<std::filesystem::path> htempOverride = std::nullopt);
  ~Importacion();
  Importacion(const Importacion&) = delete;
  Importacion& operator=(const Importacion&) = delete;

  // BExportarClick: `folder` is the folder of the folder list.
  void Iniciar(const std::filesystem::path& folder);
  // BitBtn1Click: LeerCursos, then DatosNivel.
  void Continuar();
  // FinalRecogida.
  void Aceptar();
  // Button2Click.
  void Volver();
  // wwDBGridNIVIMPEnter: the grid got the focus; its current row starts being
  // edited. The grid cannot add rows, so an empty table stays empty.
  void EntrarRejillaNiveles();

  // Makes the first row whose CONVOCATORIA is `code` the chosen one (what the
  // user does by moving in the choice grid); false when there is none.
  bool ElegirConvocatoria(const std::u16string& code);
  // Types TURNO, NIVEL and CURSO of the course `codCurso` into the level grid;
  // false when the grid has no such course.
  bool CodificarCurso(const std::u16string& codCurso, const std::u16string& turno, const std::u16string& nivel,
                      const std::u16string& curso);

  Phase phase() const { return phase_; }
  const ImportacionView& view() const { return view_; }
  // The courses the last failed check found without NIVEL or CURSO.
  const std::vector<CursoIncompleto>& incompletos() const { return incompletos_; }

  // The chosen convocatoria as the run's report names it: its code and, in
  // brackets, its description; empty before the choice is offered.
  std::string ConvocatoriaForReport();

  // Where the facts of the run go; nowhere unless this is called before
  // Iniciar. `log` must outlive the session.
  void SetRunLog(RunLog& log) { log_ = &log; }

  // wwTableCentro and wwTableNIVIMP; valid once Iniciar has accepted the folder.
  dbf::Table& convocatorias();
  dbf::Table& cursos();

 private:
  ImportStepContext& Context();
  bool DatosNivel();
  std::u16string ChosenConvocatoria();
  void Stop();

  RunState& state_;
  UserDialog& dialog_;
  RunLog* log_ = &NullRunLog();
  std::optional<std::filesystem::path> htempOverride_;
  std::optional<ImportStepContext> context_;
  std::unique_ptr<dbf::Table> wwTableCentro_;
  std::unique_ptr<dbf::Table> wwTableNIVIMP_;
  std::unique_ptr<dbf::Table> wwTableNIVIMP2_;
  Phase phase_ = Phase::NotStarted;
  ImportacionView view_;
  std::vector<CursoIncompleto> incompletos_;
};

}  // namespace ludaro
