#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/command_line.h"

namespace ludaro::cli {

// Writes the table as UTF-8 CSV to `out`: a header of field names, then its
// rows (deleted rows left out) in row order or in the order of `indexTag`.
// The table is opened for shared use. Fields of a type the engine cannot
// read are left out, each with a note on `notes`. Throws ludaro::Error.
void DumpTable(const std::filesystem::path& dbfFile, const std::optional<std::string>& indexTag, std::ostream& out,
               std::ostream& notes);

// `dump TABLE.DBF [--index TAG]`
extern const CommandSyntax kDumpSyntax;
int RunDump(const ParsedArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace ludaro::cli
