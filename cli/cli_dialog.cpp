#include "cli/cli_dialog.h"

#include <cstdio>
#include <iostream>
#include <ostream>
#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "common/session/run_report.h"
#include "common/utf.h"

namespace ludaro::cli {

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

bool ProgressWanted(const std::ostream& err) { return &err == &std::cerr && StderrIsTerminal(); }

CliDialog::CliDialog(std::ostream& err, bool answer, bool showProgress, Clock clock)
    : err_(err), answer_(answer), showProgress_(showProgress), clock_(std::move(clock)), start_(clock_()) {}

CliDialog::~CliDialog() { EndProgressLine(); }

void CliDialog::Message(const std::u16string& text) {
  EndProgressLine();
  err_ << OneLine(text) << '\n';
}

bool CliDialog::Question(const std::u16string& caption, const std::u16string& text) {
  EndProgressLine();
  err_ << OneLine(caption) << ": " << OneLine(text) << " -> " << (answer_ ? "OK" : "Cancel") << '\n';
  return answer_;
}

void CliDialog::Busy(bool) {}

void CliDialog::Progress(const std::u16string& step, std::uint64_t linesDone) {
  if (!showProgress_) return;
  if (!progressStarted_) {
    if (clock_() - start_ <= kQuietStart) return;
    progressStarted_ = true;
  }
  // A new step starts its own line, so a shorter name never leaves part of
  // the previous one behind.
  if (step != progressStep_) EndProgressLine();
  progressStep_ = step;
  err_ << '\r' << OneLine(step) << ": " << linesDone << " lines" << std::flush;
  progressShown_ = true;
}

void CliDialog::EndProgressLine() {
  if (!progressShown_) return;
  err_ << '\n';
  progressShown_ = false;
}

}  // namespace ludaro::cli
