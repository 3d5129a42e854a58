#pragma once

// `--report FILE`, shared by the commands that run a direction: the file is
// checked before the run touches anything, and the report is written however
// the run ends.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>

#include "cli/command_line.h"
#include "cli/run_report.h"
#include "common/session/run_state.h"

namespace ludaro::cli {

// The file of --report, if given. Throws ludaro::Error when its folder does
// not exist, so a run whose report could not be written is not started.
std::optional<std::filesystem::path> ReportFile(const ParsedArguments& arguments);

// Runs `run` (which returns the exit status) and, when `file` is given,
// writes `report` to it with the result code, the exit status and, if `run`
// throws, the error that stopped it; the error is then thrown on. A report
// that cannot be written is told on `err` and makes the exit status
// kExitStopped; what the run wrote stays.
int RunReported(const std::optional<std::filesystem::path>& file, RunReport& report, const RunState& state,
                std::ostream& err, const std::function<int()>& run);

}  // namespace ludaro::cli
