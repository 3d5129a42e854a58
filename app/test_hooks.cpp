#include "app/test_hooks.h"

#include <windows.h>

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
