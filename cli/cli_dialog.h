#pragma once

// The user as the command line sees them: every message box becomes one line
// on stderr, the recovery question is answered from the command line and
// logged with its answer, and the busy cursor means nothing. Progress of long
// steps is shown only when stderr is a terminal, on one line rewritten in place.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "common/session/user_dialog.h"

namespace ludaro::cli {

class CliDialog : public UserDialog {
 public:
  // `answer` is what every question gets: true for OK, false for Cancel.
  CliDialog(std::ostream& err, bool answer, bool showProgress);
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
  bool progressShown_ = false;
  std::u16string progressStep_;
};

// The text as one UTF-8 line: each run of CR and LF becomes one space.
std::string OneLine(const std::u16string& text);

// True when the process's stderr is a terminal (not a file or a pipe).
bool StderrIsTerminal();

}  // namespace ludaro::cli
