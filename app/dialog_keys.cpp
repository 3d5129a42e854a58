#include "app/dialog_keys.h"

#include <algorithm>

namespace ludaro {
namespace {

LONG_PTR Style(HWND window) { return GetWindowLongPtrW(window, GWL_STYLE); }

bool Shown(HWND window) { return (Style(window) & WS_VISIBLE) != 0; }

// A sibling above `window` in the z-order that hides all of `target`.
bool CoveredFromAbove(HWND window, const RECT& target) {
  for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
    if (!Shown(above)) continue;
    RECT cover{}, both{};
    GetWindowRect(above, &cover);
    if (IntersectRect(&both, &cover, &target) && EqualRect(&both, &target)) return true;
  }
  return false;
}

void Collect(HWND top, HWND parent, std::vector<HWND>& stops) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = Style(child);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    if (style & WS_TABSTOP) {
      if (CanTakeFocus(top, child)) stops.push_back(child);
    } else if (GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      Collect(top, child, stops);
    }
  }
}

bool Holds(HWND stop, HWND window) { return stop == window || IsChild(stop, window); }

// The focus is on something Tab could have brought it to (or inside it).
bool FocusUsable(HWND top, HWND focus) {
  if (!focus || !IsChild(top, focus) || !CanTakeFocus(top, focus)) return false;
  const std::vector<HWND> stops = TabStops(top);
  return std::any_of(stops.begin(), stops.end(), [&](HWND stop) { return Holds(stop, focus); });
}

HWND FindButton(HWND parent, int id) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == id && IsPushButton(child)) return child;
    if (HWND inner = FindButton(child, id)) return inner;
  }
  return nullptr;
}

}  // namespace

bool IsPushButton(HWND window) {
  wchar_t name[16] = L"";
  GetClassNameW(window, name, 16);
  if (lstrcmpiW(name, L"Button") != 0) return false;
  const LONG_PTR type = Style(window) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

bool CanTakeFocus(HWND top, HWND control) {
  if (!control || !IsWindow(control) || !IsChild(top, control)) return false;
  RECT target{};
  GetWindowRect(control, &target);
  for (HWND window = control; window && window != top; window = GetParent(window)) {
    if (!Shown(window) || !IsWindowEnabled(window)) return false;
    if (CoveredFromAbove(window, target)) return false;
  }
  return true;
}

std::vector<HWND> TabStops(HWND top) {
  std::vector<HWND> stops;
  Collect(top, top, stops);
  return stops;
}

HWND NextTabStop(HWND top, HWND from, bool backwards) {
  const std::vector<HWND> stops = TabStops(top);
  if (stops.empty()) return nullptr;
  const auto at = std::find_if(stops.begin(), stops.end(), [&](HWND stop) { return from && Holds(stop, from); });
  if (at == stops.end()) return backwards ? stops.back() : stops.front();
  const std::size_t index = static_cast<std::size_t>(at - stops.begin());
  const std::size_t count = stops.size();
  return stops[backwards ? (index + count - 1) % count : (index + 1) % count];
}

bool HandleDialogKey(HWND top, const MSG& message) {
  if (message.message != WM_KEYDOWN || !IsWindow(top)) return false;
  if (message.hwnd != top && !IsChild(top, message.hwnd)) return false;
  if ((GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return false;
  // The window the key is for: the focus, as the keyboard delivers it.
  HWND focus = message.hwnd;
  const LRESULT wants =
      focus ? SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) : 0;
  if (message.wParam == VK_TAB) {
    if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
    HWND next = NextTabStop(top, focus == top ? nullptr : focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    if (!next) return true;
    SetFocus(next);
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
    return true;
  }
  if (message.wParam == VK_RETURN && focus && IsPushButton(focus) && IsWindowEnabled(focus) &&
      IsChild(top, focus) && !(wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
    SendMessageW(GetParent(focus), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focus), BN_CLICKED),
                 reinterpret_cast<LPARAM>(focus));
    return true;
  }
  return false;
}

HWND FallbackFocus(HWND top) {
  const LRESULT defaultId = SendMessageW(top, DM_GETDEFID, 0, 0);
  if (HIWORD(defaultId) == DC_HASDEFID) {
    HWND button = FindButton(top, LOWORD(defaultId));
    if (button && CanTakeFocus(top, button)) return button;
  }
  const std::vector<HWND> stops = TabStops(top);
  return stops.empty() ? nullptr : stops.front();
}

void EnsureUsableFocus(HWND top) {
  if (!IsWindow(top) || GetActiveWindow() != top) return;
  if (FocusUsable(top, GetFocus())) return;
  if (HWND target = FallbackFocus(top)) SetFocus(target);
}

bool FocusKeeper::OnActivate(HWND top, WPARAM wParam) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    saved_ = focus && IsChild(top, focus) ? focus : nullptr;
    return false;
  }
  if (HIWORD(wParam)) return false;  // activated while minimized: no focus to give
  HWND target = FocusUsable(top, saved_) ? saved_ : FallbackFocus(top);
  saved_ = nullptr;
  if (!target) return false;
  SetFocus(target);
  return true;
}

}  // namespace ludaro
