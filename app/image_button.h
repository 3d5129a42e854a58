#pragma once

// Push buttons that show a small image before their caption ("OK" with its
// check mark, "&Salir" with its door). Owner-drawn, so they look the same on
// every system and still take BM_CLICK, focus and their access key.

#include <windows.h>

namespace ludaro {

// `iconId`: the image's icon resource, drawn at the button's screen scale
// (16 pixels at 96 DPI).
HWND CreateImageButton(HWND parent, int id, const wchar_t* caption, int left, int top, int width, int height,
                       int iconId);

// For the WM_DRAWITEM of such a button.
void DrawImageButton(const DRAWITEMSTRUCT& item);

}  // namespace ludaro
