#pragma once

// `--report FILE`, shared by the commands that run a direction: the file is
// checked before the run touches anything, and the report is written however
// the run ends, as an HTML page when the file's name ends in .html or .htm,
// else as Markdown.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_dialog.h"
#include "cli/command_line.h"
#include "common/session/run_report.h"
#include "common/session/run_state.h"

namespace ludaro::cli {

// One run of a direction from the command line: its state, the dialog on
// the terminal and, with --report FILE, the report that the dialog and the
// run's log feed. The report's file is checked when the run is set up, so a
// run whose report could not be written is not started (ludaro::Error).
class ReportedRun {
 public:
  // `answer` is what the dialog's questions get.
  ReportedRun(const ParsedArguments& arguments, ReportedDirection direction, std::ostream& err, bool answer);
  ReportedRun(const ReportedRun&) = delete;
  ReportedRun& operator=(const ReportedRun&) = delete;

  RunState& state() { return state_; }
  UserDialog& dialog() { return file_ ? static_cast<UserDialog&>(reportingDialog_) : cliDialog_; }
  RunReport& report() { return report_; }

  // Sends what `direction` logs (its rows, what it left out and why) to the
  // report when one is wanted.
  template <typename Direction>
  void LogInto(Direction& direction) {
    if (file_) direction.SetRunLog(report_);
  }

  // Runs `run` (which returns the exit status) and, when a report is wanted,
  // writes it with the result code, the exit status and, if `run` throws, the
  // error that stopped it; the error is then thrown on. A report that cannot
  // be written is told on the error stream and makes the exit status
  // kExitStopped; what the run wrote stays.
  int Run(const std::function<int()>& run);

 private:
  std::ostream& err_;
  std::optional<std::filesystem::path> file_;
  RunState state_;
  CliDialog cliDialog_;
  RunReport report_;
  ReportingDialog reportingDialog_;
};

}  // namespace ludaro::cli
