#include <utility>

#include "common/platform/platform.h"

// The parts of a file handle that do not depend on the system: moving it and
// closing it when it goes.

namespace ludaro::platform {

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
