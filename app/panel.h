#pragma once

// Container windows of the main window: the gradient-filled direction panels
// and the plain raised panels. Hiding or moving a panel takes its controls
// with it; whatever the controls tell their parent (commands, drawing,
// colours, help) goes on up to the window that owns the panel.

#include <windows.h>

namespace ludaro {

enum class PanelLook {
  Gradient,  // top to bottom: warm yellow, white, pale peach
  Raised,    // the dialog colour inside a one-pixel raised edge
};

// Registers the window class once per process; throws ludaro::Error on failure.
void RegisterPanelClass(HINSTANCE instance);

HWND CreatePanel(HWND parent, int id, int left, int top, int width, int height, PanelLook look, bool visible = true);

}  // namespace ludaro
