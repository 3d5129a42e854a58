#include "app/controls/record_navigator.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "app/controls/window_object.h"
#include "common/error.h"

namespace ludaro::controls {
namespace {

constexpr wchar_t kFrameClass[] = L"LudaroRecordNavigator";

void RegisterFrameClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSW frame{};
  frame.lpfnWndProc = procedure;
  frame.hInstance = GetModuleHandleW(nullptr);
  frame.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frame.lpszClassName = kFrameClass;
  if (!RegisterClassW(&frame)) throw Error("cannot register the record navigator's window class");
  registered = true;
}

// The glyph of a button on a 16 x 16 grid, scaled to the button: filled
// triangles and bars for moving, a plus and minus, an up triangle for edit, a
// tick, a cross and a circular arrow.
void DrawGlyph(HDC dc, NavigatorButton button, const RECT& box, COLORREF colour) {
  const int size = std::min(box.right - box.left, box.bottom - box.top);
  const int left = box.left + (box.right - box.left - size) / 2;
  const int top = box.top + (box.bottom - box.top - size) / 2;
  auto at = [&](int x, int y) { return POINT{left + x * size / 16, top + y * size / 16}; };
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, std::max(1, size / 8), colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  auto triangle = [&](int tipX, int baseX) {
    const std::array<POINT, 3> points = {at(tipX, 8), at(baseX, 3), at(baseX, 13)};
    Polygon(dc, points.data(), 3);
  };
  auto bar = [&](int x0, int y0, int x1, int y1) {
    const POINT a = at(x0, y0), b = at(x1, y1);
    Rectangle(dc, a.x, a.y, b.x, b.y);
  };
  auto line = [&](int x0, int y0, int x1, int y1) {
    const POINT a = at(x0, y0), b = at(x1, y1);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
  };
  switch (button) {
    case NavigatorButton::First: bar(4, 3, 6, 13); triangle(6, 12); break;
    case NavigatorButton::PriorPage: triangle(2, 8); triangle(8, 14); break;
    case NavigatorButton::Prior: triangle(5, 11); break;
    case NavigatorButton::Next: triangle(11, 5); break;
    case NavigatorButton::NextPage: triangle(8, 2); triangle(14, 8); break;
    case NavigatorButton::Last: triangle(10, 4); bar(10, 3, 12, 13); break;
    case NavigatorButton::Insert: bar(3, 7, 13, 9); bar(7, 3, 9, 13); break;
    case NavigatorButton::Delete: bar(3, 7, 13, 9); break;
    case NavigatorButton::Edit: {
      const std::array<POINT, 3> points = {at(8, 3), at(3, 12), at(13, 12)};
      Polygon(dc, points.data(), 3);
      break;
    }
    case NavigatorButton::Post: line(3, 8, 7, 12); line(7, 12, 13, 4); break;
    case NavigatorButton::Cancel: line(4, 4, 12, 12); line(12, 4, 4, 12); break;
    case NavigatorButton::Refresh: {
      // Three quarters of a circle, clockwise from the top, ending in an
      // arrowhead that points on round.
      std::array<POINT, 19> arc{};
      for (std::size_t i = 0; i < arc.size(); ++i) {
        const double angle = 3.14159265 * (0.5 - 1.5 * static_cast<double>(i) / (arc.size() - 1));
        arc[i] = POINT{left + static_cast<int>((8 + 5 * std::cos(angle)) * size / 16),
                       top + static_cast<int>((8 - 5 * std::sin(angle)) * size / 16)};
      }
      Polyline(dc, arc.data(), static_cast<int>(arc.size()));
      const std::array<POINT, 3> head = {at(1, 8), at(6, 8), at(3, 5)};
      Polygon(dc, head.data(), 3);
      break;
    }
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace

RecordNavigator::RecordNavigator(HWND parent, int firstId, POINT origin, int buttonSize,
                                 std::vector<NavigatorButton> buttons, DataGrid& grid)
    : firstId_(firstId), buttons_(std::move(buttons)), grid_(grid) {
  RegisterFrameClass(FrameProc);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const int width = buttonSize * static_cast<int>(buttons_.size());
  // One tab stop for the whole row (the frame hands the focus to a button);
  // the arrow keys move between the buttons.
  frame_ = CreateWindowExW(0, kFrameClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, origin.x, origin.y, width,
                           buttonSize, parent, nullptr, instance, this);
  if (!frame_) throw Error("cannot create the record navigator's window");
  tooltip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, frame_, nullptr, instance, nullptr);
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const std::u16string hint = HintOf(buttons_[i]);
    const int id = firstId_ + static_cast<int>(buttons_[i]);
    HWND button = CreateWindowExW(0, L"BUTTON", reinterpret_cast<const wchar_t*>(hint.c_str()),
                                  WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, static_cast<int>(i) * buttonSize, 0, buttonSize,
                                  buttonSize, frame_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    buttonWindows_.push_back(button);
    SetWindowSubclass(button, ButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
    if (tooltip_) {
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = frame_;
      tool.uId = reinterpret_cast<UINT_PTR>(button);
      tool.lpszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(hint.c_str()));
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  grid_.AddChangeListener([this, alive = alive_] {
    if (*alive) Update();
  });
  Update();
}

RecordNavigator::~RecordNavigator() {
  *alive_ = false;
  if (IsWindow(frame_)) {
    SetWindowLongPtrW(frame_, GWLP_USERDATA, 0);
    DestroyWindow(frame_);
  }
}

NavigatorState RecordNavigator::State() const {
  dbf::Table* table = grid_.table();
  NavigatorState state;
  state.active = table && table->Active();
  state.rowCount = grid_.RowCount();
  state.current = grid_.CurrentRow();
  state.editing = state.active && (table->Editing() || grid_.CellEditorOpen());
  return state;
}

void RecordNavigator::Update() {
  if (!IsWindow(frame_)) return;
  const NavigatorState state = State();
  HWND focus = GetFocus();
  int focused = -1;
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    const bool enabled = IsEnabled(buttons_[i], state);
    if (buttonWindows_[i] == focus && !enabled) focused = static_cast<int>(i);
    EnableWindow(buttonWindows_[i], enabled);
  }
  // A button that goes disabled under the focus (the last row reached, an
  // edit stored) hands it to its nearest enabled neighbour, so the keyboard
  // stays in the navigator.
  if (focused >= 0) {
    int next = EnabledButtonFrom(focused, +1);
    if (next < 0) next = EnabledButtonFrom(focused, -1);
    if (next >= 0) FocusButton(next);
  }
}

bool RecordNavigator::IsButtonEnabled(NavigatorButton button) const { return IsEnabled(button, State()); }

int RecordNavigator::EnabledButtonFrom(int from, int direction) const {
  for (int i = from; i >= 0 && i < static_cast<int>(buttonWindows_.size()); i += direction)
    if (IsWindowEnabled(buttonWindows_[static_cast<std::size_t>(i)])) return i;
  return -1;
}

void RecordNavigator::FocusButton(int index) {
  focusedButton_ = index;
  SetFocus(buttonWindows_[static_cast<std::size_t>(index)]);
}

void RecordNavigator::Press(NavigatorButton button) {
  const NavigatorState state = State();
  if (!IsEnabled(button, state)) return;
  if (auto target = TargetRow(button, state)) {
    grid_.MoveToRow(*target);
    return;
  }
  switch (button) {
    case NavigatorButton::Insert:
      grid_.InsertRow();
      break;
    case NavigatorButton::Delete:
      grid_.DeleteCurrentRow(true);
      break;
    case NavigatorButton::Edit:
      grid_.RunOnTable([](dbf::Table& table) { table.Edit(); });
      grid_.BeginEdit();
      break;
    case NavigatorButton::Post:
      if (!grid_.CommitEdit()) break;
      grid_.RunOnTable([](dbf::Table& table) {
        if (table.Editing()) table.Post();
      });
      break;
    case NavigatorButton::Cancel:
      grid_.CancelEdit();
      grid_.RunOnTable([](dbf::Table& table) { table.Cancel(); });
      break;
    case NavigatorButton::Refresh:
      if (!grid_.CommitEdit()) break;
      grid_.RunOnTable([](dbf::Table& table) {
        if (table.Editing()) table.Post();
      });
      break;
    default:
      break;
  }
  Update();
}

LRESULT CALLBACK RecordNavigator::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = WindowObject<RecordNavigator>(window, message, lParam);
  if (self && message == WM_NCCREATE) self->frame_ = window;
  if (!self || message == WM_NCCREATE) return DefWindowProcW(window, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT RecordNavigator::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        const int offset = LOWORD(wParam) - firstId_;
        for (NavigatorButton button : buttons_) {
          if (static_cast<int>(button) != offset) continue;
          if (pressHandler_) {
            pressHandler_(button);
          } else {
            Press(button);
          }
        }
        return 0;
      }
      break;
    case WM_SETFOCUS: {
      // Tabbed into: the button last used, else the nearest enabled one.
      int target = EnabledButtonFrom(focusedButton_, +1);
      if (target < 0) target = EnabledButtonFrom(focusedButton_, -1);
      if (target >= 0) FocusButton(target);
      return 0;
    }
    case WM_DRAWITEM:
      DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    default:
      break;
  }
  return DefWindowProcW(frame_, message, wParam, lParam);
}

LRESULT CALLBACK RecordNavigator::ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR self) {
  auto* navigator = reinterpret_cast<RecordNavigator*>(self);
  if (message == WM_GETDLGCODE) return DefSubclassProc(window, message, wParam, lParam) | DLGC_WANTARROWS;
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, ButtonProc, 1);
  if (message == WM_SETFOCUS) {
    for (std::size_t i = 0; i < navigator->buttonWindows_.size(); ++i)
      if (navigator->buttonWindows_[i] == window) navigator->focusedButton_ = static_cast<int>(i);
  }
  if (message == WM_KEYDOWN) {
    const int count = static_cast<int>(navigator->buttonWindows_.size());
    int target = -1;
    switch (wParam) {
      case VK_LEFT:
      case VK_UP: target = navigator->EnabledButtonFrom(navigator->focusedButton_ - 1, -1); break;
      case VK_RIGHT:
      case VK_DOWN: target = navigator->EnabledButtonFrom(navigator->focusedButton_ + 1, +1); break;
      case VK_HOME: target = navigator->EnabledButtonFrom(0, +1); break;
      case VK_END: target = navigator->EnabledButtonFrom(count - 1, -1); break;
      default: return DefSubclassProc(window, message, wParam, lParam);
    }
    if (target >= 0) navigator->FocusButton(target);
    return 0;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

void RecordNavigator::DrawButton(const DRAWITEMSTRUCT& item) const {
  RECT box = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int offset = pressed ? 1 : 0;
  const int inset = (box.bottom - box.top) / 5;
  RECT glyph{box.left + inset + offset, box.top + inset + offset, box.right - inset + offset, box.bottom - inset + offset};
  const bool enabled = !(item.itemState & ODS_DISABLED);
  const int drawn = static_cast<int>(item.CtlID) - firstId_;
  for (NavigatorButton button : buttons_) {
    if (static_cast<int>(button) != drawn) continue;
    if (!enabled) {
      RECT shadow{glyph.left + 1, glyph.top + 1, glyph.right + 1, glyph.bottom + 1};
      DrawGlyph(item.hDC, button, shadow, GetSysColor(COLOR_BTNHIGHLIGHT));
    }
    DrawGlyph(item.hDC, button, glyph, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  }
  if (item.itemState & ODS_FOCUS) {
    RECT focus{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
    DrawFocusRect(item.hDC, &focus);
  }
}

}  // namespace ludaro::controls
