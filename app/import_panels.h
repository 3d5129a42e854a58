#pragma once

// The import's two screens on the main window: the convocatoria choice
// (Panel1, on the lower area) and the level coding (Panel2, over nearly the
// whole window). They show what the import session says: after every call
// into the session, and before every message or question it puts to the
// user, the window is brought to the session's view, so each box appears
// over the screen the user is answering about.

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/controls/data_grid.h"
#include "common/session/run_report.h"
#include "common/session/user_dialog.h"
#include "import/importacion.h"

namespace ludaro {

class TMForm;

class ImportPanels {
 public:
  // Builds the panels' controls inside the window's (hidden) Panel1 and
  // Panel2; throws ludaro::Error when a control cannot be created.
  explicit ImportPanels(TMForm& form);
  ~ImportPanels();
  ImportPanels(const ImportPanels&) = delete;
  ImportPanels& operator=(const ImportPanels&) = delete;

  // BExportarClick with the folder list's folder. Reports its own errors.
  void Start(const std::filesystem::path& folder);

 private:
  // The window's dialog, with the screen brought up to date before every box.
  class ScreenFirstDialog : public UserDialog {
   public:
    ScreenFirstDialog(ImportPanels& panels, UserDialog& shown) : panels_(panels), shown_(shown) {}
    void Message(const std::u16string& text) override;
    bool Question(const std::u16string& caption, const std::u16string& text) override;
    void Busy(bool busy) override { shown_.Busy(busy); }
    void Progress(const std::u16string& step, std::uint64_t linesDone) override { shown_.Progress(step, linesDone); }

   private:
    ImportPanels& panels_;
    UserDialog& shown_;
  };

  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self);
  static LRESULT CALLBACK ChoiceListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self);

  void CreatePanel1Controls();
  void CreatePanel2Controls();
  HWND CreateLabel(HWND parent, int id, const wchar_t* text, int left, int top, int width, int height, HFONT font);

  // The session's operations, as far as the run's report tells them apart.
  enum class Operation { Iniciar, Continuar, Aceptar, Volver };

  // Runs one call into the session: its error goes to the error report,
  // then the window follows the session's view, leaves the run's report
  // when the run is over, and closes itself when the session asked for it
  // on behalf of Horalia.
  void Run(Operation operation, const std::function<void()>& call, bool mayClose = true);
  // Tells the report why the run cannot go on after `operation`; false
  // while it waits for the user.
  bool RunIsOver(Operation operation);
  // Shows, hides and disables what the view says. `settled`: the session
  // call is over, so a newly shown panel may take the focus.
  void ApplyView(bool settled);
  void RefreshGrids();

  void BitBtn1Click();
  void FinalRecogida();
  void Button2Click();
  void WwDBGridNIVIMPEnter();

  bool OnCommand(int id);
  std::optional<LRESULT> OnColour(HDC dc, HWND control);
  std::optional<int> DefaultButton() const;

  TMForm& form_;
  ScreenFirstDialog dialog_;
  // The report of the run, fed by the session and by what it says.
  RunReport report_{ReportedDirection::Import};
  ReportingDialog reportingDialog_{dialog_, report_};
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT titleFont_ = nullptr;
  HWND panel1_ = nullptr;
  HWND panel2_ = nullptr;
  HBRUSH panel1Brush_ = nullptr;  // system brushes, not owned
  HBRUSH panel2Brush_ = nullptr;
  // The session before the grids: the grids show its tables.
  std::unique_ptr<Importacion> session_;
  std::unique_ptr<controls::DataGrid> wwDBGridCODCENTRO_;
  std::unique_ptr<controls::DataGrid> wwDBGridNIVIMP_;
  bool choiceGridAttached_ = false;
  bool levelGridAttached_ = false;
  bool panel1WasShown_ = false;
  bool panel2WasShown_ = false;
  bool inSessionCall_ = false;
};

}  // namespace ludaro
