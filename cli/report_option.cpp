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
  const auto value = arguments.option("report");
  if (!value) return std::nullopt;
  const std::filesystem::path file = std::filesystem::u8path(*value);
  const std::filesystem::path folder = file.parent_path();
  std::error_code ignored;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ignored))
    throw Error("The folder of the report does not exist: " + folder.u8string(), file.u8string());
  return file;
}

int RunReported(const std::optional<std::filesystem::path>& file, RunReport& report, const RunState& state,
                std::ostream& err, const std::function<int()>& run) {
  int status = kExitOk;
  try {
    status = run();
  } catch (const Error& error) {
    if (file) {
      report.Stopped(ErrorText(error));
      report.Ended(state.nTransformado, kExitStopped);
      WriteAfterFailure(*file, report, err);
    }
    throw;
  } catch (const std::exception& error) {
    if (file) {
      report.Stopped(error.what());
      report.Ended(state.nTransformado, kExitStopped);
      WriteAfterFailure(*file, report, err);
    }
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
