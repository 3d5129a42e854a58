#pragma once

#include <stdexcept>
#include <string>

namespace ludaro::gui {

// A command that could not be carried out: the driver prints the message on
// stderr and exits with a non-zero status.
class DriverError : public std::runtime_error {
 public:
  explicit DriverError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace ludaro::gui
