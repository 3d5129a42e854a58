#include "app/panel.h"

#include "common/error.h"

namespace ludaro {
namespace {

constexpr wchar_t kPanelClass[] = L"LudaroPanel";

constexpr COLORREF kGradientStart = RGB(249, 211, 125);
constexpr COLORREF kGradientMiddle = RGB(255, 255, 255);
constexpr COLORREF kGradientEnd = RGB(255, 238, 221);

COLORREF Mix(COLORREF from, COLORREF to, int step, int steps) {
  auto channel = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / steps); };
  return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
             channel(GetBValue(from), GetBValue(to)));
}

// One band per pixel row: start to middle over the upper half, middle to end
// over the lower half.
void PaintGradient(HDC dc, const RECT& area) {
  const int height = area.bottom - area.top;
  const int half = height / 2 > 0 ? height / 2 : 1;
  for (int row = 0; row < height; ++row) {
    const COLORREF colour = row < half ? Mix(kGradientStart, kGradientMiddle, row, half)
                                       : Mix(kGradientMiddle, kGradientEnd, row - half, height - half);
    const RECT band{area.left, area.top + row, area.right, area.top + row + 1};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &band, nullptr, 0, nullptr);
  }
}

void Paint(HWND panel) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(panel, &paint);
  RECT area;
  GetClientRect(panel, &area);
  if (static_cast<PanelLook>(GetWindowLongPtrW(panel, GWLP_USERDATA)) == PanelLook::Gradient) {
    PaintGradient(dc, area);
  } else {
    FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
  }
  EndPaint(panel, &paint);
}

LRESULT CALLBACK PanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(panel);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return SendMessageW(GetParent(panel), message, wParam, lParam);
    default:
      return DefWindowProcW(panel, message, wParam, lParam);
  }
}

}  // namespace

void RegisterPanelClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PanelProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kPanelClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Error("Cannot register the window class of the panels");
}

HWND CreatePanel(HWND parent, int id, int left, int top, int width, int height, PanelLook look, bool visible) {
  // A gradient panel paints under its controls too: its labels are drawn
  // transparently onto it.
  const DWORD clipping = look == PanelLook::Gradient ? 0 : WS_CLIPCHILDREN;
  HWND panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"",
                               WS_CHILD | WS_CLIPSIBLINGS | clipping | (visible ? WS_VISIBLE : 0), left, top, width,
                               height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
  if (!panel) throw Error("Cannot create the panel " + std::to_string(id));
  SetWindowLongPtrW(panel, GWLP_USERDATA, static_cast<LONG_PTR>(look));
  return panel;
}

}  // namespace ludaro
