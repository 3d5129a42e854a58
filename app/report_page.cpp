#include "app/report_page.h"

#include <shellapi.h>

#include <algorithm>

#include "app/test_hooks.h"

namespace ludaro {
namespace {

// The system's words for the last error, without the line break it ends in.
std::wstring LastErrorText() {
  const DWORD code = GetLastError();
  wchar_t* buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  if (text.empty()) text = L"error " + std::to_wstring(code);
  return text;
}

}  // namespace

const wchar_t* ReportPageName(ReportedDirection direction) {
  return direction == ReportedDirection::Import ? L"Ludaro-importacion.html" : L"Ludaro-exportacion.html";
}

std::optional<std::wstring> WriteReportPage(const std::filesystem::path& file, std::string_view text) {
  std::filesystem::path temporary = file;
  temporary += L".new";
  HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) return LastErrorText();
  bool written = true;
  for (std::size_t done = 0; written && done < text.size();) {
    DWORD chunk = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
    written = WriteFile(handle, text.data() + done, wanted, &chunk, nullptr) && chunk > 0;
    done += chunk;
  }
  std::optional<std::wstring> failure;
  if (!written || !FlushFileBuffers(handle)) failure = LastErrorText();
  CloseHandle(handle);
  if (!failure && !MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    failure = LastErrorText();
  if (failure) DeleteFileW(temporary.c_str());
  return failure;
}

void OpenReportPage(HWND owner, const std::filesystem::path& file) {
  if (RecordShellExecuteForTests(L"open", file.wstring())) return;
  ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace ludaro
