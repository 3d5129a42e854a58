#pragma once

// The user as the command line sees them: every message box becomes one line
// on stderr, the recovery question is answered from the command line and
// logged with its answer, and the busy cursor means nothing. Progress of long
// steps is shown only when stderr is a terminal and the command has run for
// more than a second, on one line rewritten in place: a short run leaves
// nothing but its messages behind.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "common/session/user_dialog.h"

namespace ludaro::cli {

class CliDialog : public UserDialog {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::seconds kQuietStart{1};

  // `answer` is what every question gets: true for OK, false for Cancel.
  // The command's time starts now, by `clock`.
  CliDialog(std::ostream& err, bool answer, bool showProgress, Clock clock = std::chrono::steady_clock::now);
  ~CliDialog() override;
  CliDialog(const CliDialog&) = delete;
  CliDialog& operator=(const CliDialog&) = delete;

  void Message(const std::u16string& text) override;
  bool Question(const std::u16string& caption, const std::u16string& text) override;
  void Busy(bool busy) override;
  void Progress(const std::u16string& step, std::uint64_t linesDone) override;

 private:
  void EndProgressLine();

  std::ostream& err_;
  bool answer_;
  bool showProgress_;
  Clock clock_;
  std::chrono::steady_clock::time_point start_;
  bool progressStarted_ = false;  // the quiet start is over and progress has been shown
  bool progressShown_ = false;    // a progress line waits for its end
  std::u16string progressStep_;
};

// True when the process's stderr is a terminal (not a file or a pipe).
bool StderrIsTerminal();

// Whether progress belongs on `err`: only when it is the process's stderr
// and that is a terminal.
bool ProgressWanted(const std::ostream& err);

}  // namespace ludaro::cli
