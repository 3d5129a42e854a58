#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <string>
#include <utility>

#include "common/platform/platform.h"

namespace ludaro::platform {
namespace {

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// Paths in messages are UTF-8 whatever the ANSI code page, so no name is lost.
std::string Display(const std::filesystem::path& path) { return path.u8string(); }

std::string Utf8(const wchar_t* text, int length) {
  if (length == 0) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 ? Utf8(text, static_cast<int>(length)) : std::string();
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

[[noreturn]] void ThrowUnsupported(unsigned codePage) {
  throw Error("Code page " + std::to_string(codePage) + " is not supported on this system");
}

[[noreturn]] void ThrowIoError(const std::string& what, const std::filesystem::path& path, DWORD code) {
  throw Error("Cannot " + what + " " + Display(path) + ": " + SystemMessage(code), Display(path));
}

OpenFailure::Kind KindOfError(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return OpenFailure::Kind::NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return OpenFailure::Kind::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return OpenFailure::Kind::AccessDenied;
    default:
      return OpenFailure::Kind::Other;
  }
}

[[noreturn]] void ThrowOpenError(const std::filesystem::path& path, DWORD code) {
  const auto kind = KindOfError(code);
  const std::string reason = kind == OpenFailure::Kind::InUse ? "it is in use by another program or handle"
                             : kind == OpenFailure::Kind::NotFound ? "it does not exist"
                             : kind == OpenFailure::Kind::AccessDenied ? "access is denied"
                                                                        : SystemMessage(code);
  throw OpenError("Cannot open " + Display(path) + ": " + reason, Display(path),
                  OpenFailure{kind, static_cast<int>(code)});
}

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

void CheckRange(std::uint64_t offset, std::size_t size, const std::filesystem::path& path) {
  constexpr std::uint64_t kLargest = static_cast<std::uint64_t>(LLONG_MAX);
  if (offset > kLargest || size > kLargest - offset)
    throw Error("Offset " + std::to_string(offset) + " is beyond what " + Display(path) + " can hold",
                Display(path));
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

// One read or write call moves at most this much, well inside a DWORD.
constexpr std::size_t kLargestTransfer = std::size_t{1} << 30;

// Text a Windows call fills in. The calls answer the length they wrote, or,
// when the buffer was too small, the size they need (GetModuleFileNameW: the
// full buffer size); both mean asking again with more room. 0 is failure.
template <typename Call>
std::wstring GrowingBuffer(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.resize(std::max<std::size_t>(length + 1, buffer.size() * 2));
  }
}

}  // namespace

// ---------------------------------------------------------------- code pages

unsigned AnsiCodePage() { return GetACP(); }

bool CodePageSupported(unsigned codePage) {
  static std::atomic<unsigned> lastConfirmed{CP_UTF8};
  if (codePage == lastConfirmed.load(std::memory_order_relaxed)) return true;
  // 0 to 3 are aliases (ANSI, OEM, Mac, thread), not code pages of their own.
  if (codePage <= CP_THREAD_ACP || codePage == CP_UTF7 || !IsValidCodePage(codePage)) return false;
  // Code pages that cannot refuse best-fit replacements (ISO-2022, GB18030 …)
  // reject the flag; those could not keep our "one '?' per character" rule.
  char probe[8];
  if (WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, L"A", 1, probe, sizeof probe, "?", nullptr) != 1)
    return false;
  lastConfirmed.store(codePage, std::memory_order_relaxed);
  return true;
}

std::string ToCodePage(std::u16string_view text, unsigned codePage) {
  if (!CodePageSupported(codePage)) ThrowUnsupported(codePage);
  if (text.empty()) return {};
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw Error("Text too long to convert");
  std::wstring wide;
  wide.reserve(text.size());
  if (codePage == CP_UTF8) {
    wide = Wide(text);
  } else {
    // No ANSI code page holds a character outside the basic plane; Windows
    // would give one '?' per surrogate, we give one per character.
    for (std::size_t i = 0; i < text.size(); ++i) {
      const char16_t c = text[i];
      const bool high = c >= 0xD800 && c <= 0xDBFF;
      const bool low = c >= 0xDC00 && c <= 0xDFFF;
      if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
      wide.push_back(high || low ? L'?' : static_cast<wchar_t>(c));
    }
  }
  // UTF-8 takes neither the flag nor a default character.
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* replacement = codePage == CP_UTF8 ? nullptr : "?";
  const int length = static_cast<int>(wide.size());
  const int size = WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, replacement, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size <= 0 ||
      WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), size, replacement, nullptr) != size)
    throw Error("Cannot convert text to code page " + std::to_string(codePage) + ": " +
                SystemMessage(GetLastError()));
  return bytes;
}

std::size_t ToCodePageInto(std::u16string_view text, unsigned codePage, char* into, std::size_t room) {
  const std::string bytes = ToCodePage(text, codePage);
  std::copy_n(bytes.begin(), std::min(bytes.size(), room), into);
  return bytes.size();
}

std::u16string FromCodePage(std::string_view bytes, unsigned codePage) {
  if (!CodePageSupported(codePage)) ThrowUnsupported(codePage);
  if (bytes.empty()) return {};
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw Error("Text too long to convert");
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  if (size <= 0 || MultiByteToWideChar(codePage, 0, bytes.data(), length, wide.data(), size) != size)
    throw Error("Cannot convert text from code page " + std::to_string(codePage) + ": " +
                SystemMessage(GetLastError()));
  return std::u16string(wide.begin(), wide.end());
}

// --------------------------------------------------------------------- files

File File::Open(const std::filesystem::path& path, Access access, Share share, Disposition disposition) {
  // Creating truncates, which needs write access.
  const DWORD desired = access == Access::ReadOnly && disposition == Disposition::OpenExisting
                            ? GENERIC_READ
                            : GENERIC_READ | GENERIC_WRITE;
  const DWORD shareMode = share == Share::ReadWrite ? FILE_SHARE_READ | FILE_SHARE_WRITE
                          : share == Share::Read    ? FILE_SHARE_READ
                                                    : 0;
  const DWORD creation = disposition == Disposition::CreateAlways ? CREATE_ALWAYS : OPEN_EXISTING;
  if (disposition == Disposition::CreateAlways) BeforeFileChange({FileChange::Kind::Create, path});
  const HANDLE handle =
      CreateFileW(path.c_str(), desired, shareMode, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) ThrowOpenError(path, GetLastError());
  return File(path, reinterpret_cast<std::intptr_t>(handle));
}

void File::Close() noexcept {
  if (handle_ != -1) CloseHandle(AsHandle(handle_));
  handle_ = -1;
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  CheckRange(offset, size, path_);
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    OVERLAPPED position = At(offset + done);
    const auto chunk = static_cast<DWORD>(std::min(size - done, kLargestTransfer));
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), bytes + done, chunk, &got, &position)) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      ThrowIoError("read", path_, error);
    }
    if (got == 0) break;
    done += got;
  }
  return done;
}

void File::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  CheckRange(offset, size, path_);
  BeforeFileChange({FileChange::Kind::Write, path_, offset, data, size});
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    OVERLAPPED position = At(offset + done);
    const auto chunk = static_cast<DWORD>(std::min(size - done, kLargestTransfer));
    DWORD put = 0;
    if (!WriteFile(AsHandle(handle_), bytes + done, chunk, &put, &position)) ThrowIoError("write to", path_, GetLastError());
    if (put == 0) ThrowIoError("write to", path_, ERROR_WRITE_FAULT);
    done += put;
  }
}

std::uint64_t File::Size() {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsHandle(handle_), &size)) ThrowIoError("read the size of", path_, GetLastError());
  return static_cast<std::uint64_t>(size.QuadPart);
}

void File::Truncate(std::uint64_t size) {
  CheckRange(size, 0, path_);
  BeforeFileChange({FileChange::Kind::Resize, path_, size});
  // Reads and writes name their offset, so moving the file pointer here
  // disturbs nothing.
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(AsHandle(handle_), end, nullptr, FILE_BEGIN) || !SetEndOfFile(AsHandle(handle_)))
    ThrowIoError("change the size of", path_, GetLastError());
}

void File::Flush() {
  if (!FlushFileBuffers(AsHandle(handle_))) ThrowIoError("flush", path_, GetLastError());
}

// --------------------------------------------------------------- file system

bool FileExists(const std::filesystem::path& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The file system itself ignores letter case here.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& path) {
  if (FileExists(path)) return path;
  return std::nullopt;
}

void DeleteFileIfExists(const std::filesystem::path& path) {
  if (FileExists(path)) BeforeFileChange({FileChange::Kind::Delete, path});
  if (DeleteFileW(path.c_str())) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    throw Error("Cannot delete " + Display(path) + ": it is in use by another program or handle", Display(path));
  ThrowIoError("delete", path, error);
}

// Windows refuses to replace a file another handle holds open, and says
// "access denied"; asking for delete access tells that apart from a real lack
// of rights.
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  BeforeFileChange({FileChange::Kind::Replace, to});
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
  const DWORD error = GetLastError();
  const auto heldElsewhere = [&] {
    const HANDLE handle = CreateFileW(to.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      CloseHandle(handle);
      return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
  };
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
      (error == ERROR_ACCESS_DENIED && heldElsewhere()))
    throw Error("Cannot replace " + Display(to) + ": it is in use by another program or handle", Display(to));
  ThrowIoError("replace", to, error);
}

std::filesystem::path CurrentDirectory() {
  const std::wstring folder =
      GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
  if (folder.empty()) throw Error("Cannot read the current folder: " + SystemMessage(GetLastError()));
  return folder;
}

void SetCurrentDirectory(const std::filesystem::path& path) {
  if (!SetCurrentDirectoryW(path.c_str())) ThrowIoError("change to the folder", path, GetLastError());
}

std::filesystem::path ProgramFolder() {
  const std::wstring program =
      GrowingBuffer([](wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); });
  if (program.empty()) throw Error("Cannot find the program's own folder: " + SystemMessage(GetLastError()));
  return std::filesystem::path(program).parent_path();
}

std::filesystem::path HtempFolder(const std::optional<std::filesystem::path>& override) {
  if (override && !override->empty()) return *override;
  const std::wstring fromEnvironment = GrowingBuffer(
      [](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(L"LUDARO_HTEMP", buffer, size); });
  if (!fromEnvironment.empty()) return fromEnvironment;
  // A path without a drive: HTEMP at the root of the current folder's drive.
  const std::wstring htemp = GrowingBuffer(
      [](wchar_t* buffer, DWORD size) { return GetFullPathNameW(L"\\HTEMP", size, buffer, nullptr); });
  if (htemp.empty()) throw Error("Cannot find the HTEMP folder: " + SystemMessage(GetLastError()));
  return htemp;
}

void WriteIniInteger(const std::filesystem::path& iniFile, std::u16string_view section, std::u16string_view key,
                     int value) {
  // A name without a folder would land in the Windows folder.
  std::error_code ignored;
  std::filesystem::path full = std::filesystem::absolute(iniFile, ignored);
  if (full.empty()) full = iniFile;
  if (!WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), std::to_wstring(value).c_str(),
                                  full.c_str()))
    throw Error("Unable to write to " + Display(full), Display(full));
}

}  // namespace ludaro::platform
