#include "app/scaled_layout.h"

#include <algorithm>
#include <map>

#include "common/error.h"

namespace ludaro {
namespace {

constexpr wchar_t kSizedToText[] = L"LudaroSizedToText";

// Present from Windows 10 1607 on: looked up at run time, so the program
// still starts on Windows 7.
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

// Controls that place their own children (a grid's list and cell editor, a
// list view's header, a combo box's field) are placed whole.
bool PlacesOwnChildren(HWND window) {
  const std::wstring name = ClassOf(window);
  for (const wchar_t* own : {L"SysListView32", L"ComboBox", L"Edit", L"SysHeader32", L"LudaroDataGrid"})
    if (lstrcmpiW(name.c_str(), own) == 0) return true;
  return false;
}

RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  // A drop-down combo box is as high as its open list.
  if (lstrcmpiW(ClassOf(window).c_str(), L"ComboBox") == 0) {
    RECT dropped{};
    if (SendMessageW(window, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
      rect.bottom = std::max(rect.bottom, dropped.bottom);
  }
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ForEachDescendant(HWND parent, void (*action)(HWND, void*), void* data) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    action(child, data);
    ForEachDescendant(child, action, data);
  }
}

}  // namespace

UINT SystemDpi() {
  using GetDpiForSystemFunction = UINT(WINAPI*)();
  static const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
  if (getDpiForSystem) {
    if (const UINT dpi = getDpiForSystem()) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiOf(HWND window) {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    if (const UINT dpi = getDpiForWindow(window)) return dpi;
  }
  return SystemDpi();
}

HFONT CreatePointFont(const wchar_t* face, int points, bool bold, bool underline, UINT dpi) {
  HFONT font = CreateFontW(-MulDiv(points, static_cast<int>(dpi), 72), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                           underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face);
  if (!font) throw Error("Cannot create the font " + std::to_string(points) + "-point");
  return font;
}

RECT CentredWindowRect(int clientWidth96, int clientHeight96, DWORD style, DWORD exStyle, UINT dpi) {
  using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, Scaled(clientWidth96, dpi), Scaled(clientHeight96, dpi)};
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, dpi)) AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return {left, top, left + width, top + height};
}

void MarkSizedToText(HWND label) { SetPropW(label, kSizedToText, reinterpret_cast<HANDLE>(1)); }

void SizeToText(HWND label) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
  HDC dc = GetDC(label);
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (size.cy == 0) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    size.cy = metrics.tmHeight;
  }
  SelectObject(dc, oldFont);
  ReleaseDC(label, dc);
  SetWindowPos(label, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ScaledLayout::~ScaledLayout() {
  for (const FontEntry& entry : fonts_) DeleteObject(entry.font);
}

HFONT ScaledLayout::Font(const wchar_t* face, int points, bool bold, bool underline) {
  for (const FontEntry& entry : fonts_)
    if (entry.face == face && entry.points == points && entry.bold == bold && entry.underline == underline)
      return entry.font;
  fonts_.push_back({face, points, bold, underline, CreatePointFont(face, points, bold, underline, dpi_)});
  return fonts_.back().font;
}

void ScaledLayout::Adopt(HWND top) { AdoptChildren(top); }

void ScaledLayout::AdoptChildren(HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const bool known = std::any_of(controls_.begin(), controls_.end(), [&](const Control& c) { return c.window == child; });
    if (!known) {
      controls_.push_back({child, RectInParent(child)});
      Place(controls_.back());
    }
    if (!PlacesOwnChildren(child)) AdoptChildren(child);
  }
}

void ScaledLayout::Place(const Control& control) const {
  if (!IsWindow(control.window)) return;
  const RECT& r = control.at96;
  const int left = Scale(r.left), top = Scale(r.top);
  if (GetPropW(control.window, kSizedToText)) {
    SetWindowPos(control.window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeToText(control.window);
    return;
  }
  // Edges scaled rather than sizes, so controls that meet at 96 DPI still meet.
  SetWindowPos(control.window, nullptr, left, top, Scale(r.right) - left, Scale(r.bottom) - top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void ScaledLayout::ChangeDpi(HWND top, UINT dpi, const RECT& suggested) {
  if (dpi == dpi_) return;
  dpi_ = dpi;
  std::map<HFONT, HFONT> replaced;
  for (FontEntry& entry : fonts_) {
    HFONT font = CreatePointFont(entry.face.c_str(), entry.points, entry.bold, entry.underline, dpi_);
    replaced[entry.font] = font;
    entry.font = font;
  }
  auto swapFont = [](HWND window, void* data) {
    const auto& fonts = *static_cast<std::map<HFONT, HFONT>*>(data);
    const auto found = fonts.find(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    if (found != fonts.end()) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(found->second), FALSE);
  };
  swapFont(top, &replaced);
  ForEachDescendant(top, swapFont, &replaced);
  for (const auto& [old, font] : replaced) DeleteObject(old);

  SetWindowPos(top, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const Control& control : controls_) Place(control);
  InvalidateRect(top, nullptr, TRUE);
}

}  // namespace ludaro
