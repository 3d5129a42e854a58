#pragma once

// The keyboard of the program's top-level windows, which are plain windows
// rather than dialog-manager dialogs, so the dialog manager neither tracks
// their default button nor knows which of their controls a shown panel
// covers. Tab and Enter are decided here instead, the rest of the dialog
// keys (Escape, access keys, arrows) are left to IsDialogMessage.

#include <windows.h>

#include <vector>

namespace ludaro {

// A push button, plain or owner-drawn (what Enter presses).
bool IsPushButton(HWND window);

// Whether `control` can have the focus now: shown and enabled up to `top`,
// and not hidden under a sibling (of it or of a window holding it) shown
// above it.
bool CanTakeFocus(HWND top, HWND control);

// The controls Tab visits in `top`, in order: those with a tab stop that can
// take the focus, found through the windows that hold controls.
std::vector<HWND> TabStops(HWND top);

// The tab stop after (or before) the one holding `from`; `from` outside the
// tab stops gives the first (or last) one. Null when there is none.
HWND NextTabStop(HWND top, HWND from, bool backwards);

// Tab and Shift+Tab move among TabStops; Enter on a focused push button
// presses that button, never the window's default one. True when the
// message was handled (it is then neither translated nor dispatched).
bool HandleDialogKey(HWND top, const MSG& message);

// Where the focus goes when the one it had cannot have it any more: the
// window's default button (DM_GETDEFID), else the first tab stop.
HWND FallbackFocus(HWND top);

// Moves the focus to FallbackFocus when nothing of `top` that can take it
// has it (after a panel changed, or a control with the focus was hidden).
void EnsureUsableFocus(HWND top);

// The control of a top-level window that had the focus when another window
// (a message box, the help) became active, given back when the window is
// active again, since the default handling would leave the focus on the
// window itself, where nothing shows it.
class FocusKeeper {
 public:
  // For WM_ACTIVATE; true when the message was handled.
  bool OnActivate(HWND top, WPARAM wParam);

 private:
  HWND saved_ = nullptr;
};

}  // namespace ludaro
