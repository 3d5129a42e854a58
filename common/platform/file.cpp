#include <utility>

#include "common/platform/platform.h"

// The parts of the file layer that do not depend on the system: moving a
// handle, closing it when it goes, and the hook tests use to inject faults.

namespace ludaro::platform {
namespace {

FileChangeHook fileChangeHook = nullptr;

}  // namespace

FileChangeHook SetFileChangeHook(FileChangeHook hook) { return std::exchange(fileChangeHook, hook); }

void BeforeFileChange(const FileChange& change) {
  if (fileChangeHook) fileChangeHook(change);
}

File::File(File&& other) noexcept : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, -1)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

File::~File() { Close(); }

}  // namespace ludaro::platform
