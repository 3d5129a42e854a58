// Opens arbitrary bytes as a table (and, when the input holds a separator,
// the rest as its production index) and reads every row and field, in row
// order and in the order of each index tag. Errors are fine; crashes, reads
// out of bounds and hangs are not.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "common/dbf/table.h"
#include "common/error.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / ("ludaro-dbf-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

void Write(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void ReadAll(ludaro::dbf::Table& table) {
  const auto fields = table.Fields();
  for (table.First(); !table.Eof(); table.Next()) {
    for (const auto& field : fields) {
      try {
        (void)table.Value(field.name);
        (void)table.AsInteger(field.name);
      } catch (const ludaro::Error&) {
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // "MDX!" separates the table's bytes from its index file's bytes.
  const std::size_t split = input.find("MDX!");
  Write(Folder() / "T.DBF", input.substr(0, split));
  if (split == std::string_view::npos) {
    std::filesystem::remove(Folder() / "T.MDX");
  } else {
    Write(Folder() / "T.MDX", input.substr(split + 4));
  }
  try {
    ludaro::dbf::Table table(Folder(), "T");
    table.Open();
    ReadAll(table);
    for (const auto& field : table.Fields()) {
      try {
        table.SetIndexName(field.name);
        ReadAll(table);
      } catch (const ludaro::Error&) {
      }
    }
  } catch (const ludaro::Error&) {
  }
  return 0;
}
