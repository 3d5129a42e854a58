#pragma once

#include <filesystem>
#include <iosfwd>

#include "cli/command_line.h"
#include "export/exportacion.h"

namespace ludaro::cli {

// Types the start times of a UTF-8 CSV file with the header HORA,HORAINI
// into the template dialog of `exportacion`, as the user would: each line
// goes to the first template row of that HORA. Throws ludaro::Error naming
// the file and line of a line that cannot be applied, a refused start time
// among them (the refusal itself has been told through the dialog).
void ApplyStartTimes(Exportacion& exportacion, const std::filesystem::path& file);

// `export --xade DIR [--htemp DIR] [--start-times FILE]`
extern const CommandSyntax kExportSyntax;
int RunExport(const ParsedArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace ludaro::cli
