#pragma once

// ControlPlantilla, the modal dialog in which the user checks the school's
// start times before the timetable goes to XADE: the hour template in a grid
// with a record navigator under it, and "Aceptar".
//
// The dialog owns no data. It shows the export session's template and hands
// every change to the session (typed values, moving between rows, storing
// and cancelling), so a time the session refuses never reaches the table.

#include <windows.h>

#include <memory>

#include "app/controls/data_grid.h"
#include "app/controls/record_navigator.h"
#include "app/dialog_keys.h"
#include "app/scaled_layout.h"
#include "app/help_viewer.h"
#include "app/win32_dialog.h"
#include "export/exportacion.h"

namespace ludaro {

class TControlPlantilla {
 public:
  static constexpr wchar_t kClassName[] = L"TControlPlantilla";
  static constexpr wchar_t kCaption[] = L"Control de Plantilla Horaria";

  // `exportacion` must be editing its template. Creates the dialog hidden,
  // centred on the screen; throws ludaro::Error when it cannot.
  TControlPlantilla(HWND owner, Exportacion& exportacion, Win32Dialog& dialog, HelpViewer& help);
  ~TControlPlantilla();
  TControlPlantilla(const TControlPlantilla&) = delete;
  TControlPlantilla& operator=(const TControlPlantilla&) = delete;

  // Shows the dialog modally and returns once it has been closed, by
  // "Aceptar" or any other way. A value still open in the grid's cell editor
  // has been handed to the session by then; storing the row in edit and
  // closing the template is left to the session's Aceptar.
  void ShowModal();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateLabel(int id, const wchar_t* text, int left, int top, int width, int height, DWORD align, HFONT font);
  void HookGrid();
  // A press on one of the navigator's buttons, taken before the button would
  // take the focus: the grid keeps the focus, so the row in edit is not
  // stored merely because the mouse went to the navigator.
  bool TakeNavigatorPress(const MSG& message);
  // `fromKeyboard`: pressed with Space or Enter on the button, whose row
  // keeps the focus; a mouse press gives it back to the grid.
  void PressNavigator(controls::NavigatorButton button, bool fromKeyboard = false);
  // F5 refreshes and Escape in the grid (with no cell open) cancels the
  // row's changes, as the navigator's buttons do.
  bool TakeNavigatorKey(const MSG& message);
  void AfterGridExit();
  void Close();
  void ShowHelp();
  // Runs a step of the session, reporting its error without ending the
  // dialog, and shows the template again.
  template <typename Step>
  void Run(Step step);
  void Paint();
  LRESULT LabelColours(HDC dc, HWND control);

  HWND owner_;
  Exportacion& exportacion_;
  Win32Dialog& dialog_;
  HelpViewer& help_;
  HWND window_ = nullptr;
  ScaledLayout layout_;
  HFONT font_ = nullptr;
  HFONT boldFont_ = nullptr;
  HFONT underlinedFont_ = nullptr;  // bold and underlined
  std::unique_ptr<controls::DataGrid> grid_;
  std::unique_ptr<controls::RecordNavigator> navigator_;
  bool done_ = false;
  FocusKeeper focusKeeper_;
};

}  // namespace ludaro
