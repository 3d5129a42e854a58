// Reads arbitrary bytes as a XADE CSV file and splits every line, and splits
// the whole input as one line. Errors are fine; crashes, reads out of bounds,
// and lines that differ from a plain reference reading are not.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "common/error.h"
#include "common/utf.h"
#include "common/xade_csv.h"

namespace {

constexpr std::size_t kMaxLineBytes = 4096;

const std::filesystem::path& CsvFile() {
  static const std::filesystem::path file = [] {
    auto folder = std::filesystem::temp_directory_path() / ("ludaro-csv-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder / "f.csv";
  }();
  return file;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// The lines of a file by the simplest reading of the rules: the file ends at
// its first Ctrl-Z, lines end at LF, a final LF opens no further line, and
// every CR is dropped.
std::vector<std::string> ReferenceLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    std::string line(bytes.substr(0, end));
    line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
    lines.push_back(std::move(line));
    bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
  }
  return lines;
}

void CheckSplit(std::u16string_view text) {
  const auto fields = ludaro::SplitXadeLine(text);
  std::size_t total = 0;
  for (const auto& field : fields) {
    Check(field.find(u'\0') == std::u16string::npos);
    total += field.size();
  }
  Check(total <= text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // Decoding gives well-formed 16-bit text, which encodes and decodes unchanged.
  const std::u16string text = ludaro::Utf8ToU16(input);
  Check(ludaro::Utf8ToU16(ludaro::U16ToUtf8(text)) == text);
  CheckSplit(text);

  {
    std::ofstream out(CsvFile(), std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  const std::vector<std::string> expected = ReferenceLines(input);
  try {
    ludaro::XadeCsvReader reader(CsvFile(), kMaxLineBytes);
    std::vector<std::string> lines;
    std::string bytes;
    while (reader.ReadLineBytes(bytes)) {
      Check(reader.LineNumber() == static_cast<long>(lines.size()) + 1);
      lines.push_back(bytes);
    }
    Check(lines == expected);
  } catch (const ludaro::Error&) {
    bool tooLong = false;
    for (const auto& line : expected) tooLong = tooLong || line.size() > kMaxLineBytes;
    Check(tooLong);
  }

  try {
    ludaro::XadeCsvReader reader(CsvFile(), kMaxLineBytes);
    ludaro::XadeLine line;
    while (reader.ReadLine(line)) {
      for (std::size_t n = 0; n <= line.Count(); ++n) (void)line.Field(n);
    }
  } catch (const ludaro::Error&) {
  }
  return 0;
}
