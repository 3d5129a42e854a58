#pragma once

// Screen scale for the program's windows. Every position, size and font of
// the windows is given at 96 DPI, the scale of 100 %; each window lays itself
// out for its own DPI here, in one place: controls are created at their 96-DPI
// rectangles and then taken in, which records that rectangle and places them
// for the window's DPI; fonts come from here in points; a change of DPI (the
// window moved to a screen of another scale) places everything again.

#include <windows.h>

#include <string>
#include <vector>

namespace ludaro {

// The DPI `window` is shown at: the system's per-window value where it has
// one (Windows 10 1607 and later), else the screen's LOGPIXELSY.
UINT DpiOf(HWND window);
// The DPI of the screen, for a window not yet created.
UINT SystemDpi();

inline int Scaled(int value96, UINT dpi) { return MulDiv(value96, static_cast<int>(dpi), 96); }

// A font of `points` points at `dpi`; throws ludaro::Error when it cannot.
HFONT CreatePointFont(const wchar_t* face, int points, bool bold, bool underline, UINT dpi);

// The window rectangle for a client area of `clientWidth96` x
// `clientHeight96` at `dpi`, centred on the screen.
RECT CentredWindowRect(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle, UINT dpi);

// Marks a label that is as wide and high as its text: it keeps its 96-DPI
// place but takes its size from its text in its font at any scale.
void MarkSizedToText(HWND label);
// Makes such a label as large as its text.
void SizeToText(HWND label);

class ScaledLayout {
 public:
  explicit ScaledLayout(UINT dpi) : dpi_(dpi) {}
  ~ScaledLayout();
  ScaledLayout(const ScaledLayout&) = delete;
  ScaledLayout& operator=(const ScaledLayout&) = delete;

  UINT dpi() const { return dpi_; }
  int Scale(int value96) const { return Scaled(value96, dpi_); }

  // A font at the layout's DPI, kept by the layout and made again when the
  // DPI changes (controls that show it get the new one).
  HFONT Font(const wchar_t* face, int points, bool bold, bool underline = false);

  // Takes in every control under `top` not taken in yet: its rectangle now
  // is its 96-DPI one; places it for the layout's DPI.
  void Adopt(HWND top);

  // For WM_DPICHANGED: new fonts, every control taken in placed again, and
  // the window moved to `suggested`.
  void ChangeDpi(HWND top, UINT dpi, const RECT& suggested);

 private:
  struct FontEntry {
    std::wstring face;
    int points;
    bool bold;
    bool underline;
    HFONT font;
  };
  struct Control {
    HWND window;
    RECT at96;
  };

  void AdoptChildren(HWND parent);
  void Place(const Control& control) const;

  UINT dpi_;
  std::vector<FontEntry> fonts_;
  std::vector<Control> controls_;
};

}  // namespace ludaro
