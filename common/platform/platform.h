#pragma once

// The only place that knows which operating system runs Ludaro. Everything
// above it speaks 16-bit text and std::filesystem paths; conversions to the
// ANSI code page and to native file handles happen here.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/error.h"

// <windows.h> makes SetCurrentDirectory and ReplaceFile macros for their W
// functions. A file that needs both includes <windows.h> first and calls the
// Win32 function by its W name.
#ifdef SetCurrentDirectory
#undef SetCurrentDirectory
#endif
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace ludaro::platform {

// ---------------------------------------------------------------- code pages

// The code page the tables' text is stored in: GetACP() on Windows, 1252
// elsewhere.
unsigned AnsiCodePage();

// True when ToCodePage/FromCodePage can convert with this code page here.
bool CodePageSupported(unsigned codePage);

// Single-byte conversion. A character the code page lacks becomes '?', never
// a best-fit look-alike and never a partial byte sequence. Throws Error when
// the code page is not supported on this system.
std::string ToCodePage(std::u16string_view text, unsigned codePage);
std::u16string FromCodePage(std::string_view bytes, unsigned codePage);
// ToCodePage written to the `room` bytes at `into` rather than to a string of
// its own. Returns the bytes the whole text takes: more than `room` means the
// text did not fit and what was written is only its start.
std::size_t ToCodePageInto(std::u16string_view text, unsigned codePage, char* into, std::size_t room);

// --------------------------------------------------------------------- files

enum class Access { ReadOnly, ReadWrite };

// What other handles (in this or another process) may do while this one is open.
enum class Share {
  ReadWrite,  // others may read and write: a table opened for shared use
  Read,       // others may read but not write: a CSV file being read
  None,       // nobody else may open it: a table opened for exclusive use
};

enum class Disposition { OpenExisting, CreateAlways };

// Why opening failed; `systemCode` is errno or GetLastError().
struct OpenFailure {
  enum class Kind { NotFound, InUse, AccessDenied, Other } kind;
  int systemCode;
};

class OpenError : public Error {
 public:
  OpenError(const std::string& message, std::string file, OpenFailure failure)
      : Error(message, std::move(file)), failure_(failure) {}
  const OpenFailure& failure() const { return failure_; }

 private:
  OpenFailure failure_;
};

// An open file with positioned I/O. Move-only; closes itself.
class File {
 public:
  // Throws OpenError with the path in the message.
  static File Open(const std::filesystem::path& path, Access access, Share share,
                   Disposition disposition = Disposition::OpenExisting);

  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Reads up to `size` bytes at `offset`; fewer only at the end of the file.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
  // Writes all bytes or throws Error naming the file.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  std::uint64_t Size();
  void Truncate(std::uint64_t size);
  void Flush();

  const std::filesystem::path& path() const { return path_; }

 private:
  File(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
  void Close() noexcept;

  std::filesystem::path path_;
  std::intptr_t handle_ = -1;
};

// --------------------------------------------------------------- file system

bool FileExists(const std::filesystem::path& path);

// The existing file whose name matches the last component of `path` without
// regard to letter case, as Windows' file system would find it.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& path);

// Deletes the file if it exists. Throws Error naming it when it exists but
// cannot be deleted (in use, access denied).
void DeleteFileIfExists(const std::filesystem::path& path);

// Moves `from` over `to` in one step, replacing `to` if it exists: a reader of
// `to` finds the old file or the new one, never a mix. Both must be in the
// same folder. Throws Error naming `to` when it cannot be replaced (in use by
// another handle, access denied).
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

std::filesystem::path CurrentDirectory();
void SetCurrentDirectory(const std::filesystem::path& path);

// Folder that holds the running program.
std::filesystem::path ProgramFolder();

// The working folder: `override` if given, else the environment variable
// LUDARO_HTEMP, else HTEMP at the root of the current drive (Windows) or /HTEMP.
std::filesystem::path HtempFolder(const std::optional<std::filesystem::path>& override = std::nullopt);

// Writes `value` as a decimal integer under [section] key=... of an INI file,
// creating file, section or key where missing and keeping every other line as
// it was. Throws Error("Unable to write to <path>") when the file cannot be written.
void WriteIniInteger(const std::filesystem::path& iniFile, std::u16string_view section,
                     std::u16string_view key, int value);

// ---------------------------------------------------------- fault injection

// A change the file layer is about to make to the file system.
struct FileChange {
  enum class Kind { Create, Write, Resize, Replace, Delete } kind;
  const std::filesystem::path& path;  // for Replace, the file replaced
  std::uint64_t offset = 0;           // Write: where; Resize: the new size
  const void* data = nullptr;         // Write: the bytes
  std::size_t size = 0;               // Write: how many
};

// Tests stand in for a failing disk or a power cut here: when a hook is set,
// every File::Open that creates, WriteAt, Truncate, ReplaceFile and
// DeleteFileIfExists calls it first, and it may throw or end the process.
// Nothing in the program sets one. Returns the hook it replaces.
using FileChangeHook = void (*)(const FileChange& change);
FileChangeHook SetFileChangeHook(FileChangeHook hook);
// Calls the hook if one is set; for the file layer's own use.
void BeforeFileChange(const FileChange& change);

}  // namespace ludaro::platform
