#include "tests/gui/driver/window_lookup.h"

#include <thread>
#include <vector>

#include "tests/gui/driver/driver_error.h"

namespace ludaro::gui {
namespace {

constexpr UINT kMessageTimeoutMs = 5000;

// Named stdcall callbacks: a lambda does not convert to WNDENUMPROC in the
// 32-bit build.
BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

// The caption as the window manager keeps it; asks nothing of the window's
// thread, so a busy program does not stall the search.
std::wstring CaptionOf(HWND window) {
  wchar_t caption[512] = {};
  InternalGetWindowText(window, caption, static_cast<int>(std::size(caption)));
  return caption;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr, nullptr);
  return result;
}

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring result(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), result.data(), size);
  return result;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return name;
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length))
    throw DriverError("the window does not answer (WM_GETTEXTLENGTH)");
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &copied))
    throw DriverError("the window does not answer (WM_GETTEXT)");
  text.resize(copied);
  return text;
}

HWND WaitFor(std::chrono::milliseconds timeout, const std::string& what, const std::function<HWND()>& find) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (HWND found = find()) return found;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const auto seconds = std::chrono::duration<double>(timeout).count();
  throw DriverError(what + " not found within " + std::to_string(seconds).substr(0, 4) + " s");
}

HWND FindTopLevel(const std::wstring& title) {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && CaptionOf(window) == title) return window;
  return nullptr;
}

HWND FindControl(HWND top, int id) {
  for (HWND window : Descendants(top))
    if (GetDlgCtrlID(window) == id) return window;
  return nullptr;
}

HWND FindDescendantOfClass(HWND parent, const std::wstring& className) {
  for (HWND window : Descendants(parent))
    if (lstrcmpiW(ClassOf(window).c_str(), className.c_str()) == 0) return window;
  return nullptr;
}

HWND FindMessageBox(const std::wstring& caption) {
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && ClassOf(window) == L"#32770" && CaptionOf(window) == caption) return window;
  return nullptr;
}

std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child : Descendants(box)) {
    if (lstrcmpiW(ClassOf(child).c_str(), L"Static") != 0) continue;
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const LONG_PTR kind = style & SS_TYPEMASK;
    if (kind == SS_ICON || kind == SS_BITMAP || kind == SS_ENHMETAFILE) continue;
    const std::wstring part = TextOf(child);
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += part;
  }
  return text;
}

void Settle(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {
    WaitForInputIdle(process, kMessageTimeoutMs);
    CloseHandle(process);
  }
  // Sent messages overtake posted ones, so this alone proves little; it does
  // make sure the thread is pumping again before the driver reads from it.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace ludaro::gui
