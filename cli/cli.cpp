#include "cli/cli.h"

#include <exception>
#include <ostream>

#include "cli/command_line.h"
#include "cli/dump_command.h"
#include "cli/export_command.h"
#include "cli/import_command.h"
#include "common/error.h"
#include "common/version.h"

namespace ludaro::cli {
namespace {

struct Subcommand {
  const char* name;
  const char* synopsis;
  const CommandSyntax& syntax;
  int (*run)(const ParsedArguments&, std::ostream& out, std::ostream& err);
};

const Subcommand kSubcommands[] = {
    {"dump", "dump TABLE.DBF [--index TAG]   the table as UTF-8 CSV, in index order if asked", kDumpSyntax,
     RunDump},
    {"export",
     "export --xade DIR [--htemp DIR] [--start-times FILE] [--report FILE]   Horalia's timetable to HORARIO.CSV",
     kExportSyntax, RunExport},
    {"import",
     "import --xade DIR [--htemp DIR] [--convocatoria CODE] [--coding FILE] [--recover yes|no] [--report FILE]   "
     "XADE's CSV files to Horalia's working tables",
     kImportSyntax, RunImport},
};

void PrintUsage(std::ostream& stream) {
  stream << "usage:\n  ludaro-cli --version\n";
  for (const auto& subcommand : kSubcommands) stream << "  ludaro-cli " << subcommand.synopsis << '\n';
}

int UsageFailure(std::ostream& err, const std::string& message) {
  err << "ludaro-cli: " << message << '\n';
  PrintUsage(err);
  return kExitUsage;
}

}  // namespace

std::string ErrorText(const Error& error) {
  std::string text = error.what();
  if (!error.file().empty() && text.find(error.file()) == std::string::npos) text += " (" + error.where() + ")";
  return text;
}

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) return UsageFailure(err, "no command given");
  if (arguments[0] == "--help" || arguments[0] == "-h") {
    PrintUsage(out);
    return kExitOk;
  }
  if (arguments[0] == "--version") {
    out << "ludaro-cli " << kVersion << '\n';
    return kExitOk;
  }
  const Subcommand* chosen = nullptr;
  for (const auto& subcommand : kSubcommands)
    if (arguments[0] == subcommand.name) chosen = &subcommand;
  if (!chosen) return UsageFailure(err, "unknown command '" + arguments[0] + "'");

  int status = kExitOk;
  try {
    const ParsedArguments parsed =
        ParseArguments(std::vector<std::string>(arguments.begin() + 1, arguments.end()), chosen->syntax);
    status = chosen->run(parsed, out, err);
  } catch (const UsageError& error) {
    return UsageFailure(err, error.what());
  } catch (const Error& error) {
    out.flush();
    err << "error: " << ErrorText(error) << '\n';
    return kExitStopped;
  } catch (const std::exception& error) {
    out.flush();
    err << "error: " << error.what() << '\n';
    return kExitStopped;
  }
  if (!out.flush()) {
    err << "error: the output could not be written\n";
    return kExitStopped;
  }
  return status;
}

}  // namespace ludaro::cli
