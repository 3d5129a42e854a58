#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <system_error>
#include <utility>
#include <vector>

#include "common/platform/codepage_1252.h"
#include "common/platform/ini_file.h"
#include "common/platform/platform.h"

namespace ludaro::platform {
namespace {

constexpr unsigned kWesternEuropean = 1252;

[[noreturn]] void ThrowUnsupported(unsigned codePage) {
  throw Error("Code page " + std::to_string(codePage) + " is not supported on this system");
}

std::string SystemMessage(int code) { return std::generic_category().message(code); }

OpenFailure::Kind KindOfErrno(int code) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return OpenFailure::Kind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return OpenFailure::Kind::AccessDenied;
    case EWOULDBLOCK:
      return OpenFailure::Kind::InUse;
    default:
      return OpenFailure::Kind::Other;
  }
}

[[noreturn]] void ThrowOpenError(const std::filesystem::path& path, int code) {
  const auto kind = KindOfErrno(code);
  const std::string reason = kind == OpenFailure::Kind::InUse ? "it is in use by another program or handle"
                             : kind == OpenFailure::Kind::NotFound ? "it does not exist"
                             : kind == OpenFailure::Kind::AccessDenied ? "access is denied"
                                                                        : SystemMessage(code);
  throw OpenError("Cannot open " + path.string() + ": " + reason, path.string(), OpenFailure{kind, code});
}

[[noreturn]] void ThrowIoError(const std::string& what, const std::filesystem::path& path, int code) {
  throw Error("Cannot " + what + " " + path.string() + ": " + SystemMessage(code), path.string());
}

off_t CheckedOffset(std::uint64_t offset, std::size_t size, const std::filesystem::path& path) {
  constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<off_t>::max());
  if (offset > kLargest || size > kLargest - offset)
    throw Error("Offset " + std::to_string(offset) + " is beyond what " + path.string() + " can hold",
                path.string());
  return static_cast<off_t>(offset);
}

// Windows refuses to open a file in a way its open handles' share modes
// forbid. flock(2) locks belong to the open file description, so two handles
// of the same process exclude each other just as two processes do: an
// exclusive handle takes LOCK_EX, a shared one LOCK_SH. Unlike Windows, a
// handle that lets others only read does not keep writers out; Ludaro never
// opens a file for writing while it reads it as a text file.
int LockFor(Share share) { return share == Share::None ? LOCK_EX : LOCK_SH; }

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool IsAsciiCaseInsensitiveEqual(std::string_view a, std::string_view b) {
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
           return lower(static_cast<unsigned char>(x)) == lower(static_cast<unsigned char>(y));
         });
}

}  // namespace

// ---------------------------------------------------------------- code pages

unsigned AnsiCodePage() { return kWesternEuropean; }

bool CodePageSupported(unsigned codePage) { return codePage == kWesternEuropean; }

std::string ToCodePage(std::u16string_view text, unsigned codePage) {
  if (!CodePageSupported(codePage)) ThrowUnsupported(codePage);
  return ToCp1252(text);
}

std::size_t ToCodePageInto(std::u16string_view text, unsigned codePage, char* into, std::size_t room) {
  if (!CodePageSupported(codePage)) ThrowUnsupported(codePage);
  return ToCp1252Into(text, into, room);
}

std::u16string FromCodePage(std::string_view bytes, unsigned codePage) {
  if (!CodePageSupported(codePage)) ThrowUnsupported(codePage);
  return FromCp1252(bytes);
}

// --------------------------------------------------------------------- files

File File::Open(const std::filesystem::path& path, Access access, Share share, Disposition disposition) {
  // Creating truncates, which needs write access on Windows as well.
  int flags = O_CLOEXEC | (access == Access::ReadOnly && disposition == Disposition::OpenExisting ? O_RDONLY : O_RDWR);
  if (disposition == Disposition::CreateAlways) {
    flags |= O_CREAT;  // truncated only once the lock is ours
    BeforeFileChange({FileChange::Kind::Create, path});
  }
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) ThrowOpenError(path, errno);
  Descriptor descriptor(fd);

  struct stat info {};
  if (::fstat(fd, &info) != 0) ThrowOpenError(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowOpenError(path, EISDIR);

  int locked;
  do {
    locked = ::flock(fd, LockFor(share) | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) ThrowOpenError(path, errno);

  if (disposition == Disposition::CreateAlways && ::ftruncate(fd, 0) != 0) ThrowOpenError(path, errno);
  return File(path, descriptor.release());
}

void File::Close() noexcept {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing also drops the lock
  handle_ = -1;
}

std::size_t File::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
  CheckedOffset(offset, size, path_);
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(static_cast<int>(handle_), bytes + done, size - done,
                                static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowIoError("read", path_, errno);
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void File::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  CheckedOffset(offset, size, path_);
  BeforeFileChange({FileChange::Kind::Write, path_, offset, data, size});
  const auto* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::pwrite(static_cast<int>(handle_), bytes + done, size - done,
                                 static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      ThrowIoError("write to", path_, errno);
    }
    done += static_cast<std::size_t>(put);
  }
}

std::uint64_t File::Size() {
  struct stat info {};
  if (::fstat(static_cast<int>(handle_), &info) != 0) ThrowIoError("read the size of", path_, errno);
  return static_cast<std::uint64_t>(info.st_size);
}

void File::Truncate(std::uint64_t size) {
  const off_t length = CheckedOffset(size, 0, path_);
  BeforeFileChange({FileChange::Kind::Resize, path_, size});
  if (::ftruncate(static_cast<int>(handle_), length) != 0) ThrowIoError("change the size of", path_, errno);
}

void File::Flush() {
  if (::fsync(static_cast<int>(handle_)) != 0) ThrowIoError("flush", path_, errno);
}

// --------------------------------------------------------------- file system

bool FileExists(const std::filesystem::path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

// Only the letters A to Z are folded: the names Ludaro looks for are fixed
// ASCII names, and folding other letters would need to know the encoding of
// each name on disk. When several names differ only in case and none matches
// exactly, the first in byte order wins, so the choice does not depend on the
// order of the directory.
std::optional<std::filesystem::path> FindFileIgnoringCase(const std::filesystem::path& path) {
  if (FileExists(path)) return path;
  const std::string wanted = path.filename().string();
  if (wanted.empty()) return std::nullopt;
  const std::filesystem::path folder = path.parent_path();
  std::error_code error;
  std::filesystem::directory_iterator entries(folder.empty() ? "." : folder, error);
  if (error) return std::nullopt;
  std::vector<std::string> matches;
  for (const auto& entry : entries) {
    std::string name = entry.path().filename().string();
    if (IsAsciiCaseInsensitiveEqual(name, wanted) && FileExists(folder / name)) matches.push_back(std::move(name));
  }
  if (matches.empty()) return std::nullopt;
  return folder / *std::min_element(matches.begin(), matches.end());
}

// Windows cannot delete a file another handle holds open; neither do we, so a
// table in use elsewhere is never removed under its user's feet.
void DeleteFileIfExists(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  if (fd < 0 && (errno == ENOENT || errno == ENOTDIR)) return;
  Descriptor descriptor(fd);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    throw Error("Cannot delete " + path.string() + ": it is in use by another program or handle", path.string());
  BeforeFileChange({FileChange::Kind::Delete, path});
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowIoError("delete", path, errno);
}

// As with deleting, a file another handle holds is not replaced under its
// user's feet. The lock is kept until the rename is done, so nobody takes the
// old file in between.
void ReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  const int fd = ::open(to.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  Descriptor descriptor(fd);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    throw Error("Cannot replace " + to.string() + ": it is in use by another program or handle", to.string());
  BeforeFileChange({FileChange::Kind::Replace, to});
  if (::rename(from.c_str(), to.c_str()) != 0) ThrowIoError("replace", to, errno);
}

std::filesystem::path CurrentDirectory() {
  std::error_code error;
  auto folder = std::filesystem::current_path(error);
  if (error) throw Error("Cannot read the current folder: " + error.message());
  return folder;
}

void SetCurrentDirectory(const std::filesystem::path& path) {
  if (::chdir(path.c_str()) != 0) ThrowIoError("change to the folder", path, errno);
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw Error("Cannot find the program's own folder: " + error.message());
  return program.parent_path();
}

std::filesystem::path HtempFolder(const std::optional<std::filesystem::path>& override) {
  if (override && !override->empty()) return *override;
  if (const char* fromEnvironment = std::getenv("LUDARO_HTEMP"); fromEnvironment && *fromEnvironment)
    return fromEnvironment;
  return "/HTEMP";
}

void WriteIniInteger(const std::filesystem::path& iniFile, std::u16string_view section, std::u16string_view key,
                     int value) {
  UpdateIniFile(iniFile, ToCp1252(section), ToCp1252(key), std::to_string(value));
}

}  // namespace ludaro::platform
