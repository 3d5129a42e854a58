#include "cli/dump_command.h"

#include <ostream>
#include <vector>

#include "cli/csv_output.h"
#include "common/dbf/table.h"
#include "common/error.h"

namespace ludaro::cli {
namespace {

bool EngineReads(char type) { return type == 'C' || type == 'N' || type == 'F' || type == 'L' || type == 'D'; }

}  // namespace

const CommandSyntax kDumpSyntax{{"TABLE.DBF"}, {"index"}};

void DumpTable(const std::filesystem::path& dbfFile, const std::optional<std::string>& indexTag, std::ostream& out,
               std::ostream& notes) {
  const std::filesystem::path folder = dbfFile.has_parent_path() ? dbfFile.parent_path() : ".";
  dbf::Table table(folder, dbfFile.filename().string());
  table.SetExclusive(false);
  if (indexTag) table.SetIndexName(*indexTag);
  table.Open();

  std::vector<std::string> shown;
  for (const auto& field : table.Fields()) {
    if (EngineReads(field.type)) {
      shown.push_back(field.name);
    } else {
      notes << "note: " << table.path().string() << ": field " << field.name << " of type '" << field.type
            << "' is left out\n";
    }
  }
  out << CsvLine(shown);

  std::vector<std::string> values(shown.size());
  std::size_t dumped = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++dumped;
    try {
      for (std::size_t i = 0; i < shown.size(); ++i) values[i] = FormatValue(table.Value(shown[i]));
    } catch (const Error& error) {
      throw Error(std::string(error.what()) + " (data row " + std::to_string(dumped) + " of the dump)",
                  error.file());
    }
    out << CsvLine(values);
  }
  table.Close();
}

int RunDump(const ParsedArguments& arguments, std::ostream& out, std::ostream& err) {
  DumpTable(arguments.positional(0), arguments.option("index"), out, err);
  return 0;
}

}  // namespace ludaro::cli
