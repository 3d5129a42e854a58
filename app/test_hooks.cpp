#include "app/test_hooks.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "app/controls/data_grid.h"
#include "app/controls/text_metrics.h"
#include "app/scaled_layout.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"

namespace ludaro {
namespace {

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

bool RunDirectionTestHooks(const std::wstring& dirTxt, UserDialog& dialog) {
  const std::wstring raise = Environment(L"LUDARO_GUI_TEST_RAISE");
  if (!raise.empty()) throw Error(U16ToUtf8(U16(raise)));
  if (Environment(L"LUDARO_GUI_TEST_FOLDERS").empty()) return false;
  dialog.Message(U16(dirTxt) + u"\r\n" + U16(platform::HtempFolder().wstring()));
  return true;
}

bool RecordShellExecuteForTests(const wchar_t* verb, const std::wstring& file) {
  const std::wstring log = Environment(L"LUDARO_GUI_TEST_SHELL_LOG");
  if (log.empty()) return false;
  const std::string line = U16ToUtf8(U16(verb) + u"\t" + U16(file) + u"\n");
  HANDLE handle = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw Error("Cannot record the call to ShellExecuteW");
  DWORD written = 0;
  WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(handle);
  return true;
}

}  // namespace ludaro

namespace ludaro {
namespace {

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

// The room a static's or a button's text needs in its own font, with the
// room it has; none for other controls and empty texts.
bool TextRoom(HWND control, SIZE& need, SIZE& have) {
  const std::wstring kind = ClassOf(control);
  const bool isStatic = lstrcmpiW(kind.c_str(), L"Static") == 0;
  const bool isButton = lstrcmpiW(kind.c_str(), L"Button") == 0;
  const std::wstring text = TextOf(control);
  if ((!isStatic && !isButton) || text.empty()) return false;
  // The navigator's buttons show a picture; their text is the hint.
  if (ClassOf(GetParent(control)) == L"LudaroRecordNavigator") return false;
  RECT client{};
  GetClientRect(control, &client);
  have = {client.right, client.bottom};
  const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  UINT format = DT_CALCRECT | ((isStatic && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0);
  const bool multiline = isButton && (style & BS_MULTILINE);
  const bool wraps = (isStatic && (style & SS_TYPEMASK) <= SS_RIGHT) || multiline;
  RECT area{0, 0, wraps ? client.right : 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  need = {area.right, area.bottom};
  if (isButton && !multiline) {
    // The frame and its inner margin on each side; an image button's
    // picture and gap before the caption.
    const UINT dpi = DpiOf(control);
    need.cx += 2 * MulDiv(3, static_cast<int>(dpi), 96);
    need.cy += 2 * MulDiv(2, static_cast<int>(dpi), 96);
    if ((style & BS_TYPEMASK) == BS_OWNERDRAW) need.cx += MulDiv(20, static_cast<int>(dpi), 96);
  }
  return true;
}

void ReportControls(FILE* out, HWND top, HWND parent) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
    SIZE need{0, 0}, have{0, 0};
    const bool hasText = TextRoom(child, need, have);
    // The parent by its handle: containers such as the navigator have no id.
    fwprintf(out, L"control\t%d\t%ls\t%llu\t%d\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\n", GetDlgCtrlID(child),
             ClassOf(child).c_str(), static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(parent)),
             IsWindowVisible(child) ? 1 : 0,
             rect.left, rect.top, rect.right, rect.bottom, hasText ? need.cx : 0L, hasText ? need.cy : 0L,
             hasText ? have.cx : 0L, hasText ? have.cy : 0L);
    if (const controls::DataGrid* grid = controls::DataGrid::FromWindow(child)) {
      const auto fits = grid->MeasureColumns();
      RECT client{};
      GetClientRect(grid->list(), &client);
      int total = 0;
      for (std::size_t i = 0; i < fits.size(); ++i) {
        total += fits[i].width;
        fwprintf(out, L"column\t%d\t%zu\t%d\t%d\t%d\n", GetDlgCtrlID(child), i, fits[i].width, fits[i].widestCell,
                 fits[i].titleFits ? 1 : 0);
      }
      const bool scrollBar = (GetWindowLongPtrW(grid->list(), GWL_STYLE) & WS_HSCROLL) != 0;
      fwprintf(out, L"grid\t%d\t%d\t%d\t%ld\n", GetDlgCtrlID(child), scrollBar ? 1 : 0, total, client.right);
      continue;
    }
    if (lstrcmpiW(ClassOf(child).c_str(), L"ListBox") == 0) {
      const int line = controls::LineHeight(child, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
      fwprintf(out, L"rows\t%d\t%ld\t%d\n", GetDlgCtrlID(child),
               static_cast<long>(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0)), line);
    }
    ReportControls(out, top, child);
  }
}

}  // namespace

UINT LayoutReportMessage() {
  static const UINT message = RegisterWindowMessageW(L"LudaroLayoutReport");
  return message;
}

bool WriteLayoutReport(HWND top) {
  const std::wstring path = Environment(L"LUDARO_GUI_TEST_LAYOUT");
  if (path.empty()) return false;
  FILE* out = _wfopen(path.c_str(), L"w");
  if (!out) return false;
  RECT client{}, outer{};
  GetClientRect(top, &client);
  GetWindowRect(top, &outer);
  fwprintf(out, L"window\t%ld\t%ld\t%ld\t%ld\t%u\t%d\t%d\n", client.right, client.bottom, outer.right - outer.left,
           outer.bottom - outer.top, DpiOf(top), GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  ReportControls(out, top, top);
  fclose(out);
  return true;
}

}  // namespace ludaro
