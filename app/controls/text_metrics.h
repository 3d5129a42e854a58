#pragma once

#include <windows.h>

namespace ludaro::controls {

// The height of a line of text in `font`, measured on `window`'s device
// context (null: the screen's).
int LineHeight(HWND window, HFONT font);

}  // namespace ludaro::controls
