#include "cli/report_option.h"

#include <exception>
#include <ostream>
#include <string>
#include <system_error>

#include "cli/cli.h"
#include "common/error.h"

namespace ludaro::cli {
namespace {

// An error while the run is already failing must not hide the run's own.
void WriteAfterFailure(const std::filesystem::path& file, RunReport& report, std::ostream& err) {
  try {
    WriteFileReplacing(file, report.Markdown());
  } catch (const Error& error) {
    err << "error: the report was not written: " << error.what() << '\n';
  }
}

}  // namespace

std::optional<std::filesystem::path> ReportFile(const ParsedArguments& arguments) {
  const auto given = arguments.pathOption("report");
  if (!given) return std::nullopt;
  const std::filesystem::path& file = *given;
  const std::filesystem::path folder = file.parent_path();
  std::error_code ignored;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ignored))
    throw Error("The folder of the report does not exist: " + folder.u8string(), file.u8string());
  return file;
}

int RunReported(const std::optional<std::filesystem::path>& file, RunReport& report, const RunState& state,
                std::ostream& err, const std::function<int()>& run) {
  const auto reportStopped = [&](const std::string& why) {
    if (!file) return;
    report.Stopped(why);
    report.Ended(state.nTransformado, kExitStopped);
    WriteAfterFailure(*file, report, err);
  };
  int status = kExitOk;
  try {
    status = run();
  } catch (const Error& error) {
    reportStopped(ErrorText(error));
    throw;
  } catch (const std::exception& error) {
    reportStopped(error.what());
    throw;
  }
  if (!file) return status;
  report.Ended(state.nTransformado, status);
  try {
    WriteFileReplacing(*file, report.Markdown());
  } catch (const Error& error) {
    err << "error: the report was not written: " << error.what() << '\n';
    return kExitStopped;
  }
  return status;
}

}  // namespace ludaro::cli
