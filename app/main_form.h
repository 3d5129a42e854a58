#pragma once

// The main window MForm: the two direction panels across the top, the
// folder choice, help and "&Salir" below. It decides the run mode when it
// is created and, on behalf of Horalia, writes the result code when it
// closes, however it closes.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/dialog_keys.h"
#include "app/folder_list.h"
#include "app/help_viewer.h"
#include "app/scaled_layout.h"
#include "app/win32_dialog.h"
#include "common/session/run_report.h"
#include "common/session/run_state.h"

namespace ludaro {

class ImportPanels;

class TMForm {
 public:
  static constexpr wchar_t kClassName[] = L"TMForm";
  static constexpr wchar_t kCaption[] = L"Exportar e importar datos entre Horalia y XADE (Formato CSV)";

  // `arguments`: the command line after the program's own name. Creates the
  // window (hidden) and its controls; throws ludaro::Error when it cannot.
  TMForm(HINSTANCE instance, RunState& state, Win32Dialog& dialog, const std::vector<std::wstring>& arguments);
  ~TMForm();
  TMForm(const TMForm&) = delete;
  TMForm& operator=(const TMForm&) = delete;

  void Show();
  HWND handle() const { return window_; }

  // ---- what the directions work with
  RunState& state() { return state_; }
  Win32Dialog& dialog() { return dialog_; }
  // The folder of the folder list plus one backslash, set when a direction
  // button is pressed.
  const std::wstring& dirTxt() const { return dirTxt_; }
  FolderList& folders() { return *folders_; }
  // The window's help viewer, also for the dialogs it owns.
  HelpViewer& help() { return help_; }
  // Any control of the window by its id (app/resource_ids.h), or null.
  HWND Control(int id) const;
  // The convocatoria panel (on the lower panel) and the level panel (on the
  // window), hidden until the import shows them; shown above their siblings.
  void ShowPanel(int panelId);
  // The import's panels, kept from the import button's first press on.
  ImportPanels* importPanels() const { return importPanels_.get(); }
  void KeepImportPanels(std::unique_ptr<ImportPanels> panels);

  // Where the window's controls and fonts are scaled for its screen; the
  // import's panels lay themselves out through it too.
  ScaledLayout& layout() { return layout_; }

  // The F1 key, wherever the focus is in the window.
  void ShowContextHelp();

  // After a run of a direction, however it ended: its report as an HTML
  // page in the chosen folder and, when the window stays open, the link to
  // it (or why there is none) in the lower panel. Never fails.
  void LeaveRunReport(const RunReport& report, ReportedDirection direction);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateLabel(HWND parent, int id, const wchar_t* text, int left, int top, HFONT font);
  HWND CreateWrappedLabel(HWND parent, int id, const wchar_t* text, int left, int top, int width, int height);
  void FormCreate(const std::vector<std::wstring>& arguments);
  void FormClose();
  void BCloseClick();
  void Button1Click();
  void BExportarClick();
  void BImportarClick();
  void RunDirection(void (*start)(TMForm&, const std::wstring&));
  LRESULT LabelColours(HDC dc, HWND control);
  void DrawReportLink(const DRAWITEMSTRUCT& item);
  void ReportLinkClick();

  HINSTANCE instance_;
  RunState& state_;
  Win32Dialog& dialog_;
  HWND window_ = nullptr;
  ScaledLayout layout_;
  HFONT font_ = nullptr;         // 8-point "MS Sans Serif", the window's text
  HFONT boldFont_ = nullptr;     // the same, bold
  HFONT panelFont_ = nullptr;    // 12-point bold "Arial" of the direction panels
  HFONT linkFont_ = nullptr;     // the window's text, underlined
  std::unique_ptr<FolderList> folders_;
  HelpViewer help_;
  std::wstring dirTxt_;
  bool closed_ = false;  // FormClose has run
  FocusKeeper focusKeeper_;
  std::unique_ptr<ImportPanels> importPanels_;
  std::filesystem::path reportFile_;  // the last report written, or empty
};

}  // namespace ludaro
