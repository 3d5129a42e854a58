// Drives the windows of a running program from a shell script, one action per
// invocation: find a window by its caption and a control by its id, press,
// type, select, read texts, message boxes and grid cells. Exit status 0 on
// success; otherwise a message on stderr and status 1 (usage: 64).

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/gui/driver/driver_error.h"
#include "tests/gui/driver/remote_buffer.h"
#include "tests/gui/driver/window_lookup.h"

namespace ludaro::gui {
namespace {

using std::chrono::milliseconds;

constexpr int kUsageStatus = 64;
constexpr std::size_t kCellTextCapacity = 4096;

const char kUsage[] =
    "usage: ludaro_gui_driver COMMAND ARGS... [--timeout S]\n"
    "  wait-window TITLE                 a top-level window captioned TITLE appears\n"
    "  wait-closed TITLE                 no window captioned TITLE is left\n"
    "  click TITLE ID                    press a button (posted BM_CLICK)\n"
    "  message [--caption C]             print the text of a message box (caption Ludaro)\n"
    "  answer ok|cancel|yes|no [--caption C]\n"
    "                                    press that button of the message box\n"
    "  text TITLE ID                     print a control's text\n"
    "  set-text TITLE ID TEXT            replace a control's text\n"
    "  visible TITLE ID | enabled TITLE ID   print 1 or 0\n"
    "  items TITLE ID                    print the items of a list box or combo box\n"
    "  select TITLE ID INDEX [--double]  select in a list box, combo box or grid, notifying\n"
    "  select-text TITLE ID TEXT [--double]  the same, by the item's text\n"
    "  key TITLE ID VK                   press a key in the control (or what has the focus in it)\n"
    "  keys TITLE KEY...                 real key presses (SendInput) to the window, brought to the\n"
    "                                    front; KEY: a VK name, with shift+ ctrl+ alt+ before it,\n"
    "                                    or text:TEXT typed as it stands\n"
    "  focus TITLE                       print the id of the control with the focus (the window\n"
    "                                    itself: 0; none: -1) and, after a tab, its class\n"
    "  set-focus TITLE ID                give a control the focus (as a click would)\n"
    "  rects TITLE                       print every control under the window: id, class, shown,\n"
    "                                    and its rectangle in the window's client area\n"
    "  measure TITLE                     ask the program to write its layout report (it must\n"
    "                                    run with LUDARO_GUI_TEST_LAYOUT naming the file)\n"
    "  dpi-change TITLE DPI              tell the window it moved to a screen of DPI (WM_DPICHANGED,\n"
    "                                    its rectangle scaled about its top left corner)\n"
    "  close TITLE                       ask a window to close\n"
    "  grid-rows TITLE ID                print the number of rows of a grid\n"
    "  grid-current TITLE ID             print the current row of a grid (-1: none)\n"
    "  grid-header TITLE ID              print each column's title and pixel width\n"
    "  grid-cell TITLE ID ROW COL        print the text of a grid cell\n"
    "  grid-set TITLE ID ROW COL TEXT [--keep-open]\n"
    "                                    click the cell, type TEXT in its editor, press Enter\n"
    "VK: a number, a letter or digit, or RETURN ESCAPE DELETE INSERT TAB SPACE BACK\n"
    "    UP DOWN LEFT RIGHT HOME END PRIOR NEXT F1..F12\n";

struct Options {
  milliseconds timeout{10000};
  std::wstring caption = L"Ludaro";
  bool doubleClick = false;
  bool keepOpen = false;
};

class Arguments {
 public:
  Arguments(std::vector<std::wstring> words, std::size_t count) : words_(std::move(words)) {
    if (words_.size() != count) throw std::invalid_argument("wrong number of arguments");
  }
  std::wstring Text(std::size_t i) const { return words_[i]; }
  int Number(std::size_t i) const {
    std::size_t used = 0;
    const int value = std::stoi(words_[i], &used, 0);
    if (used != words_[i].size()) throw std::invalid_argument("not a number");
    return value;
  }

 private:
  std::vector<std::wstring> words_;
};

void Print(const std::wstring& text) {
  const std::string bytes = Utf8(text) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string Quoted(const std::wstring& text) { return "'" + Utf8(text) + "'"; }

HWND WaitTopLevel(const Options& options, const std::wstring& title) {
  return WaitFor(options.timeout, "window " + Quoted(title), [&] { return FindTopLevel(title); });
}

HWND WaitControl(const Options& options, const std::wstring& title, int id) {
  HWND top = WaitTopLevel(options, title);
  return WaitFor(options.timeout, "control " + std::to_string(id) + " of " + Quoted(title),
                 [&] { return FindControl(top, id); });
}

// The list view of a grid: the control itself, or the list view inside it.
HWND WaitGrid(const Options& options, const std::wstring& title, int id) {
  HWND control = WaitControl(options, title, id);
  if (ClassOf(control) == WC_LISTVIEWW) return control;
  if (HWND inner = FindDescendantOfClass(control, WC_LISTVIEWW)) return inner;
  throw DriverError("control " + std::to_string(id) + " of " + Quoted(title) + " is not a grid");
}

HWND WaitMessageBox(const Options& options) {
  return WaitFor(options.timeout, "message box " + Quoted(options.caption),
                 [&] { return FindMessageBox(options.caption); });
}

void RequireUsable(HWND control, int id) {
  if (!IsWindowVisible(control)) throw DriverError("control " + std::to_string(id) + " is hidden");
  if (!IsWindowEnabled(control)) throw DriverError("control " + std::to_string(id) + " is disabled");
}

std::optional<UINT> VirtualKeyOf(const std::wstring& name) {
  static const std::map<std::wstring, UINT> kNamed = {
      {L"RETURN", VK_RETURN}, {L"ENTER", VK_RETURN}, {L"ESCAPE", VK_ESCAPE}, {L"ESC", VK_ESCAPE},
      {L"DELETE", VK_DELETE}, {L"INSERT", VK_INSERT}, {L"TAB", VK_TAB},      {L"SPACE", VK_SPACE},
      {L"BACK", VK_BACK},     {L"UP", VK_UP},         {L"DOWN", VK_DOWN},    {L"LEFT", VK_LEFT},
      {L"RIGHT", VK_RIGHT},   {L"HOME", VK_HOME},     {L"END", VK_END},      {L"PRIOR", VK_PRIOR},
      {L"NEXT", VK_NEXT}};
  std::wstring upper;
  for (wchar_t c : name) upper += static_cast<wchar_t>(std::towupper(c));
  if (auto found = kNamed.find(upper); found != kNamed.end()) return found->second;
  if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == L'F') {
    const int number = std::stoi(upper.substr(1));
    if (number >= 1 && number <= 12) return static_cast<UINT>(VK_F1 + number - 1);
  }
  if (upper.size() == 1 && std::iswalnum(upper[0])) return upper[0];
  try {
    std::size_t used = 0;
    const int value = std::stoi(name, &used, 0);
    if (used == name.size() && value > 0 && value < 256) return static_cast<UINT>(value);
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

bool IsExtendedKey(UINT key) {
  switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
    case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
      return true;
    default:
      return false;
  }
}

// Posted, as the keyboard would deliver it: the program's own message loop
// translates it into characters and dialog navigation.
void PostKey(HWND target, UINT key) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  if (IsExtendedKey(key)) down |= LPARAM{1} << 24;
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  PostMessageW(target, WM_KEYDOWN, key, down);
  PostMessageW(target, WM_KEYUP, key, up);
}

// Brings `top` to the front so real key presses reach it.
void BringToFront(const Options& options, HWND top) {
  WaitFor(options.timeout, "the window in front", [&]() -> HWND {
    if (GetForegroundWindow() == top) return top;
    SetForegroundWindow(top);
    return GetForegroundWindow() == top ? top : nullptr;
  });
}

void SendKeyInput(UINT key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = static_cast<WORD>(key);
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &input, sizeof input);
}

// "shift+TAB", "alt+s", "RETURN": the modifiers held around the key.
void PressKeyChord(const std::wstring& chord) {
  std::vector<UINT> modifiers;
  std::wstring rest = chord;
  for (;;) {
    const auto plus = rest.find(L'+');
    if (plus == std::wstring::npos || plus + 1 == rest.size()) break;
    std::wstring name = rest.substr(0, plus);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    if (name == L"shift") modifiers.push_back(VK_SHIFT);
    else if (name == L"ctrl") modifiers.push_back(VK_CONTROL);
    else if (name == L"alt") modifiers.push_back(VK_MENU);
    else throw std::invalid_argument("unknown modifier " + Utf8(name));
    rest = rest.substr(plus + 1);
  }
  const auto key = VirtualKeyOf(rest);
  if (!key) throw std::invalid_argument("unknown key " + Utf8(rest));
  for (UINT modifier : modifiers) SendKeyInput(modifier, false);
  SendKeyInput(*key, false);
  SendKeyInput(*key, true);
  for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) SendKeyInput(*m, true);
}

void TypeText(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT input[2]{};
    for (int i = 0; i < 2; ++i) {
      input[i].type = INPUT_KEYBOARD;
      input[i].ki.wScan = c;
      input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, input, sizeof input[0]);
  }
}

HWND FocusOf(HWND top) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PrintRects(HWND top, HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
    Print(std::to_wstring(GetDlgCtrlID(child)) + L"\t" + ClassOf(child) + L"\t" +
          (IsWindowVisible(child) ? L"1" : L"0") + L"\t" + std::to_wstring(rect.left) + L"," +
          std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right - rect.left) + L"x" +
          std::to_wstring(rect.bottom - rect.top));
    PrintRects(top, child);
  }
}

// The window of the control's thread that has the keyboard focus, when it is
// the control or inside it (an open cell editor); else the control, or the
// list view of a grid.
HWND KeyTarget(HWND control) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info) && info.hwndFocus &&
      (info.hwndFocus == control || IsChild(control, info.hwndFocus)))
    return info.hwndFocus;
  if (HWND grid = FindDescendantOfClass(control, WC_LISTVIEWW)) return grid;
  return control;
}

std::vector<std::wstring> ListItems(HWND control) {
  const bool combo = lstrcmpiW(ClassOf(control).c_str(), L"ComboBox") == 0;
  const UINT countMessage = combo ? CB_GETCOUNT : LB_GETCOUNT;
  const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
  const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
  const LRESULT count = SendMessageW(control, countMessage, 0, 0);
  std::vector<std::wstring> items;
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(i), 0);
    std::wstring item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied = SendMessageW(control, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    items.push_back(item);
  }
  return items;
}

int GridRowCount(HWND grid) { return static_cast<int>(SendMessageW(grid, LVM_GETITEMCOUNT, 0, 0)); }

int GridColumnCount(HWND grid) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(grid, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void RequireCell(HWND grid, int row, int column) {
  const int rows = GridRowCount(grid);
  const int columns = GridColumnCount(grid);
  if (row < 0 || row >= rows)
    throw DriverError("row " + std::to_string(row) + " is outside the grid's " + std::to_string(rows) + " rows");
  if (column < 0 || column >= columns)
    throw DriverError("column " + std::to_string(column) + " is outside the grid's " + std::to_string(columns) +
                      " columns");
}

std::wstring GridCell(HWND grid, int row, int column) {
  RemoteBuffer remote(grid, sizeof(LVITEMW) + kCellTextCapacity * sizeof(wchar_t));
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = static_cast<int>(kCellTextCapacity);
  item.pszText = reinterpret_cast<LPWSTR>(remote.Address(sizeof(LVITEMW)));
  remote.Write(0, &item, sizeof item);
  const LRESULT length = SendMessageW(grid, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.Address());
  std::wstring text(kCellTextCapacity, L'\0');
  remote.Read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

void SelectGridRow(HWND grid, int row) {
  RemoteBuffer remote(grid, sizeof(LVITEMW));
  LVITEMW item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  remote.Write(0, &item, sizeof item);
  SendMessageW(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  SendMessageW(grid, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.Address());
}

RECT GridCellRect(HWND grid, int row, int column) {
  RemoteBuffer remote(grid, sizeof(RECT));
  RECT rect{};
  rect.top = column;
  rect.left = LVIR_LABEL;
  remote.Write(0, &rect, sizeof rect);
  if (!SendMessageW(grid, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), remote.Address()))
    throw DriverError("the grid gives no rectangle for row " + std::to_string(row) + ", column " + std::to_string(column));
  remote.Read(0, &rect, sizeof rect);
  return rect;
}

HWND OpenCellEditor(HWND grid) {
  for (HWND child = GetWindow(grid, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (lstrcmpiW(ClassOf(child).c_str(), L"Edit") == 0 && IsWindowVisible(child)) return child;
  return nullptr;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  return process;
}

// A visible system dialog of the grid's process: the program refused the
// value or reported an error.
bool DialogOfSameProcess(HWND grid) {
  const DWORD process = ProcessOf(grid);
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && ProcessOf(window) == process) return true;
  return false;
}

void GridSet(const Options& options, HWND grid, int row, int column, const std::wstring& text) {
  RequireCell(grid, row, column);
  SendMessageW(grid, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
  const RECT cell = GridCellRect(grid, row, column);
  const LPARAM point = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
  PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageW(grid, WM_LBUTTONUP, 0, point);
  HWND editor = WaitFor(options.timeout,
                        "an editor in row " + std::to_string(row) + ", column " + std::to_string(column) +
                            " (is the cell editable?)",
                        [&] { return OpenCellEditor(grid); });
  SendMessageW(editor, EM_SETSEL, 0, -1);
  // Typed character by character, so the editor's length limit applies as it
  // does to a user.
  for (wchar_t c : text) PostMessageW(editor, WM_CHAR, c, 1);
  if (options.keepOpen) {
    Settle(grid);
    return;
  }
  PostKey(editor, VK_RETURN);
  WaitFor(options.timeout, "the end of the cell edit", [&]() -> HWND {
    if (!IsWindow(editor) || !IsWindowVisible(editor) || DialogOfSameProcess(grid)) return grid;
    return nullptr;
  });
  Settle(grid);
}

void Select(const Options& options, HWND control, int index) {
  const int id = GetDlgCtrlID(control);
  HWND parent = GetParent(control);
  const std::wstring kind = ClassOf(control);
  if (kind == WC_LISTVIEWW || FindDescendantOfClass(control, WC_LISTVIEWW)) {
    HWND grid = kind == WC_LISTVIEWW ? control : FindDescendantOfClass(control, WC_LISTVIEWW);
    RequireCell(grid, index, 0);
    SelectGridRow(grid, index);
  } else if (lstrcmpiW(kind.c_str(), L"ComboBox") == 0) {
    if (SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR && index != -1)
      throw DriverError("the combo box has no item " + std::to_string(index));
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
  } else if (lstrcmpiW(kind.c_str(), L"ListBox") == 0) {
    if (SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0) == LB_ERR && index != -1)
      throw DriverError("the list box has no item " + std::to_string(index));
    PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
    if (options.doubleClick)
      PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(control));
  } else {
    throw DriverError("control " + std::to_string(id) + " (" + Utf8(kind) + ") has no items to select");
  }
  Settle(control);
}

int Run(const std::wstring& command, const std::vector<std::wstring>& words, const Options& options) {
  if (command == L"wait-window") {
    Arguments a(words, 1);
    WaitTopLevel(options, a.Text(0));
  } else if (command == L"wait-closed") {
    Arguments a(words, 1);
    WaitFor(options.timeout, "the closing of " + Quoted(a.Text(0)),
            [&]() -> HWND { return FindTopLevel(a.Text(0)) ? nullptr : GetDesktopWindow(); });
  } else if (command == L"click") {
    Arguments a(words, 2);
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    RequireUsable(control, a.Number(1));
    PostMessageW(control, BM_CLICK, 0, 0);
    Settle(control);
  } else if (command == L"message") {
    Arguments a(words, 0);
    Print(MessageBoxText(WaitMessageBox(options)));
  } else if (command == L"answer") {
    Arguments a(words, 1);
    static const std::map<std::wstring, int> kButtons = {{L"ok", IDOK}, {L"cancel", IDCANCEL}, {L"yes", IDYES}, {L"no", IDNO}};
    const auto button = kButtons.find(a.Text(0));
    if (button == kButtons.end()) throw std::invalid_argument("answer ok, cancel, yes or no");
    HWND box = WaitMessageBox(options);
    HWND control = GetDlgItem(box, button->second);
    if (!control) throw DriverError("the message box has no " + Utf8(a.Text(0)) + " button");
    PostMessageW(control, BM_CLICK, 0, 0);
    WaitFor(options.timeout, "the closing of the message box",
            [&]() -> HWND { return IsWindow(box) && IsWindowVisible(box) ? nullptr : GetDesktopWindow(); });
    Settle(GetWindow(box, GW_OWNER) ? GetWindow(box, GW_OWNER) : GetDesktopWindow());
  } else if (command == L"text") {
    Arguments a(words, 2);
    Print(TextOf(WaitControl(options, a.Text(0), a.Number(1))));
  } else if (command == L"set-text") {
    Arguments a(words, 3);
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    const std::wstring text = a.Text(2);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &ignored))
      throw DriverError("the control does not answer (WM_SETTEXT)");
  } else if (command == L"visible" || command == L"enabled") {
    Arguments a(words, 2);
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    const bool state = command == L"visible" ? IsWindowVisible(control) : IsWindowEnabled(control);
    Print(state ? L"1" : L"0");
  } else if (command == L"items") {
    Arguments a(words, 2);
    for (const auto& item : ListItems(WaitControl(options, a.Text(0), a.Number(1)))) Print(item);
  } else if (command == L"select") {
    Arguments a(words, 3);
    Select(options, WaitControl(options, a.Text(0), a.Number(1)), a.Number(2));
  } else if (command == L"select-text") {
    Arguments a(words, 3);
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    const auto items = ListItems(control);
    int index = -1;
    for (std::size_t i = 0; i < items.size() && index < 0; ++i)
      if (items[i] == a.Text(2)) index = static_cast<int>(i);
    if (index < 0) throw DriverError("no item " + Quoted(a.Text(2)) + " in control " + std::to_string(a.Number(1)));
    Select(options, control, index);
  } else if (command == L"key") {
    Arguments a(words, 3);
    const auto key = VirtualKeyOf(a.Text(2));
    if (!key) throw std::invalid_argument("unknown key " + Utf8(a.Text(2)));
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    PostKey(KeyTarget(control), *key);
    Settle(control);
  } else if (command == L"keys") {
    if (words.size() < 2) throw std::invalid_argument("keys TITLE KEY...");
    HWND top = WaitTopLevel(options, words[0]);
    for (std::size_t i = 1; i < words.size(); ++i) {
      BringToFront(options, top);
      if (words[i].rfind(L"text:", 0) == 0) {
        TypeText(words[i].substr(5));
      } else {
        PressKeyChord(words[i]);
      }
      Settle(top);
    }
  } else if (command == L"focus") {
    Arguments a(words, 1);
    HWND top = WaitTopLevel(options, a.Text(0));
    HWND focus = FocusOf(top);
    if (!focus) {
      Print(L"-1");
    } else {
      Print(std::to_wstring(focus == top ? 0 : GetDlgCtrlID(focus)) + L"\t" + ClassOf(focus));
    }
  } else if (command == L"set-focus") {
    Arguments a(words, 2);
    HWND top = WaitTopLevel(options, a.Text(0));
    HWND control = WaitControl(options, a.Text(0), a.Number(1));
    if (HWND grid = FindDescendantOfClass(control, WC_LISTVIEWW)) control = grid;
    BringToFront(options, top);
    // SetFocus works only for the calling thread's queue: share it for the call.
    const DWORD own = GetCurrentThreadId();
    const DWORD theirs = GetWindowThreadProcessId(top, nullptr);
    AttachThreadInput(own, theirs, TRUE);
    SetFocus(control);
    AttachThreadInput(own, theirs, FALSE);
    Settle(top);
    if (FocusOf(top) != control) throw DriverError("control " + std::to_string(a.Number(1)) + " did not take the focus");
  } else if (command == L"rects") {
    Arguments a(words, 1);
    HWND top = WaitTopLevel(options, a.Text(0));
    RECT client{};
    GetClientRect(top, &client);
    Print(L"0\twindow\t1\t0,0," + std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    PrintRects(top, top);
  } else if (command == L"measure") {
    Arguments a(words, 1);
    HWND top = WaitTopLevel(options, a.Text(0));
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(top, RegisterWindowMessageW(L"LudaroLayoutReport"), 0, 0, SMTO_ABORTIFHUNG, 10000, &answer) ||
        answer != 1)
      throw DriverError("the program wrote no layout report (is LUDARO_GUI_TEST_LAYOUT set?)");
  } else if (command == L"dpi-change") {
    Arguments a(words, 2);
    HWND top = WaitTopLevel(options, a.Text(0));
    const int dpi = a.Number(1);
    HDC screen = GetDC(nullptr);
    const int current = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    RECT rect{};
    GetWindowRect(top, &rect);
    RECT suggested{rect.left, rect.top, rect.left + MulDiv(rect.right - rect.left, dpi, current),
                   rect.top + MulDiv(rect.bottom - rect.top, dpi, current)};
    // The rectangle goes by address, so it is written into the program's memory.
    RemoteBuffer remote(top, sizeof suggested);
    remote.Write(0, &suggested, sizeof suggested);
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(top, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), remote.Address(), SMTO_ABORTIFHUNG, 10000,
                             &ignored))
      throw DriverError("the window does not answer (WM_DPICHANGED)");
    Settle(top);
  } else if (command == L"close") {
    Arguments a(words, 1);
    PostMessageW(WaitTopLevel(options, a.Text(0)), WM_CLOSE, 0, 0);
  } else if (command == L"grid-rows") {
    Arguments a(words, 2);
    Print(std::to_wstring(GridRowCount(WaitGrid(options, a.Text(0), a.Number(1)))));
  } else if (command == L"grid-current") {
    Arguments a(words, 2);
    HWND grid = WaitGrid(options, a.Text(0), a.Number(1));
    Print(std::to_wstring(SendMessageW(grid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
  } else if (command == L"grid-header") {
    Arguments a(words, 2);
    HWND grid = WaitGrid(options, a.Text(0), a.Number(1));
    for (int column = 0; column < GridColumnCount(grid); ++column) {
      RemoteBuffer remote(grid, sizeof(LVCOLUMNW) + kCellTextCapacity * sizeof(wchar_t));
      LVCOLUMNW info{};
      info.mask = LVCF_TEXT | LVCF_WIDTH;
      info.cchTextMax = static_cast<int>(kCellTextCapacity);
      info.pszText = reinterpret_cast<LPWSTR>(remote.Address(sizeof(LVCOLUMNW)));
      remote.Write(0, &info, sizeof info);
      SendMessageW(grid, LVM_GETCOLUMNW, static_cast<WPARAM>(column), remote.Address());
      remote.Read(0, &info, sizeof info);
      std::wstring title(kCellTextCapacity, L'\0');
      remote.Read(sizeof(LVCOLUMNW), title.data(), title.size() * sizeof(wchar_t));
      title.resize(title.find(L'\0'));
      Print(title + L"\t" + std::to_wstring(info.cx));
    }
  } else if (command == L"grid-cell") {
    Arguments a(words, 4);
    HWND grid = WaitGrid(options, a.Text(0), a.Number(1));
    RequireCell(grid, a.Number(2), a.Number(3));
    Print(GridCell(grid, a.Number(2), a.Number(3)));
  } else if (command == L"grid-set") {
    Arguments a(words, 5);
    GridSet(options, WaitGrid(options, a.Text(0), a.Number(1)), a.Number(2), a.Number(3), a.Text(4));
  } else {
    throw std::invalid_argument("unknown command");
  }
  return 0;
}

}  // namespace
}  // namespace ludaro::gui

int wmain(int argc, wchar_t** argv) {
  using namespace ludaro::gui;
  Options options;
  std::vector<std::wstring> words;
  try {
    if (const char* timeout = std::getenv("LUDARO_GUI_TIMEOUT"))
      options.timeout = milliseconds(static_cast<long long>(std::stod(timeout) * 1000));
    for (int i = 1; i < argc; ++i) {
      const std::wstring word = argv[i];
      if (word == L"--timeout" && i + 1 < argc) {
        options.timeout = milliseconds(static_cast<long long>(std::stod(argv[++i]) * 1000));
      } else if (word == L"--caption" && i + 1 < argc) {
        options.caption = argv[++i];
      } else if (word == L"--double") {
        options.doubleClick = true;
      } else if (word == L"--keep-open") {
        options.keepOpen = true;
      } else {
        words.push_back(word);
      }
    }
    if (words.empty()) throw std::invalid_argument("no command");
  } catch (const std::exception&) {
    std::fputs(kUsage, stderr);
    return kUsageStatus;
  }
  const std::wstring command = words.front();
  words.erase(words.begin());
  try {
    return Run(command, words, options);
  } catch (const DriverError& error) {
    std::fprintf(stderr, "ludaro_gui_driver %s: %s\n", Utf8(command).c_str(), error.what());
    return 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "ludaro_gui_driver %s: %s\n%s", Utf8(command).c_str(), error.what(), kUsage);
    return kUsageStatus;
  }
}
