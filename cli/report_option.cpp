#include "cli/report_option.h"

#include <exception>
#include <ostream>
#include <string>
#include <system_error>
#include <utility>

#include "cli/cli.h"
#include "common/error.h"

namespace ludaro::cli {
namespace {

void WriteReport(const std::filesystem::path& file, const RunReport& report) {
  WriteFileReplacing(file, IsHtmlFile(file) ? report.Html() : report.Markdown());
}

// An error while the run is already failing must not hide the run's own.
void WriteAfterFailure(const std::filesystem::path& file, RunReport& report, std::ostream& err) {
  try {
    WriteReport(file, report);
  } catch (const Error& error) {
    err << "error: the report was not written: " << error.what() << '\n';
  }
}

// The file of --report, if given, in a folder that exists.
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

}  // namespace

ReportedRun::ReportedRun(const ParsedArguments& arguments, ReportedDirection direction, std::ostream& err,
                         bool answer)
    : err_(err),
      file_(ReportFile(arguments)),
      cliDialog_(err, answer, ProgressWanted(err)),
      report_(direction),
      reportingDialog_(cliDialog_, report_) {}

int ReportedRun::Run(const std::function<int()>& run) {
  const auto reportStopped = [&](const std::string& why) {
    if (!file_) return;
    report_.Stopped(why);
    report_.Ended(state_.nTransformado, kExitStopped);
    WriteAfterFailure(*file_, report_, err_);
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
  if (!file_) return status;
  report_.Ended(state_.nTransformado, status);
  try {
    WriteReport(*file_, report_);
  } catch (const Error& error) {
    err_ << "error: the report was not written: " << error.what() << '\n';
    return kExitStopped;
  }
  return status;
}

}  // namespace ludaro::cli
