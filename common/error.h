#pragma once

#include <stdexcept>
#include <string>

namespace ludaro {

// The one error type the data steps raise. `what()` is the message the user
// sees in the error report; `where()` names the file and, for text files, the
// line, so the report can add a second line without changing the message.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  Error(const std::string& message, std::string file, long line = 0)
      : std::runtime_error(message), file_(std::move(file)), line_(line) {}

  const std::string& file() const { return file_; }
  long line() const { return line_; }

  // "file, line 12" / "file" / "" — for the second line of an error report.
  std::string where() const {
    if (file_.empty()) return {};
    return line_ > 0 ? file_ + ", line " + std::to_string(line_) : file_;
  }

 private:
  std::string file_;
  long line_ = 0;
};

}  // namespace ludaro
