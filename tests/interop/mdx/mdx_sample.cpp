// mdx_sample OUTDIR NAME LEVEL ROWS
//
// Writes a table NAME.DBF of ROWS rows at dBase level LEVEL (4 or 7) with
// Ludaro's production index NAME.MDX: a character tag CODIGO (blanks,
// capitals, small and accented cp1252 letters, many repeats) and a numeric
// tag IMPORTE (negative, zero, fractions, repeats). Beside them
// NAME.<TAG>.expected: the record numbers in the tag's order, one per line,
// worked out here by a plain stable sort of the values, for comparing with
// what readers we did not write walk through the index.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/dbf/dbf_header.h"
#include "common/dbf/language_driver.h"
#include "common/dbf/mdx_file.h"

namespace {

using namespace ludaro::dbf;

constexpr int kCodeWidth = 10;
constexpr int kAmountWidth = 10;

struct Row {
  std::string code;  // padded to kCodeWidth
  double amount;
  std::string amountText;
};

// Deterministic, so a failure can be reproduced from its parameters.
class Sequence {
 public:
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 6364136223846793005u + 1442695040888963407u;
    return static_cast<std::uint32_t>(state_ >> 33) % bound;
  }

 private:
  std::uint64_t state_ = 42;
};

std::vector<Row> MakeRows(std::size_t count) {
  const std::string letters = "AaBbMmZz09 \xC1\xE1\xD1\xF1\xC7\xE7\xC9";
  Sequence random;
  std::vector<Row> rows(count);
  for (auto& row : rows) {
    const std::size_t length = random.Next(4) == 0 ? 0 : 1 + random.Next(3);
    for (std::size_t i = 0; i < length; ++i) row.code += letters[random.Next(static_cast<std::uint32_t>(letters.size()))];
    row.code.resize(kCodeWidth, ' ');
    // Zeros and halves often, so equal keys span blocks. No amounts between 0
    // and 0.1: TDbf's comparison misreads the key of zero and puts those
    // below it, so TDbf loses its way in an index in numeric order.
    const std::uint32_t kind = random.Next(10);
    const double cents = kind == 0 ? 0 : kind == 1 ? 50 : static_cast<double>(random.Next(2000001)) - 1000000;
    char text[kAmountWidth + 16];
    std::snprintf(text, sizeof text, "%*.2f", kAmountWidth, cents / 100);
    row.amountText = text;
    row.amount = std::strtod(text, nullptr);
  }
  return rows;
}

template <typename Less>
void WriteExpected(const std::filesystem::path& file, std::size_t count, Less less) {
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  std::stable_sort(order.begin(), order.end(), less);
  std::ofstream out(file, std::ios::binary);
  for (auto row : order) out << row + 1 << '\n';
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void WriteSample(const std::filesystem::path& folder, const std::string& name, int level, std::size_t count) {
  const auto rows = MakeRows(count);
  std::vector<FieldDescriptor> fields = {{"CODIGO", 'C', kCodeWidth, 0, 0, true},
                                         {"IMPORTE", 'N', kAmountWidth, 2, 0, true}};
  if (level == 7) fields.push_back({"CONVOCATORIA", 'C', 12, 0, 0, false});
  DbfHeader header = MakeDbfHeader(fields, level, kAnsiBinaryDriver, DriverName(kAnsiBinaryDriver), true);
  header.recordCount = static_cast<std::uint32_t>(count);

  std::string bytes = SerializeDbfHeader(header);
  for (const auto& row : rows) {
    bytes += ' ';
    bytes += row.code;
    bytes += row.amountText;
    if (level == 7) bytes += "2024-2025   ";
  }
  bytes += static_cast<char>(kEndOfFileMarker);
  std::ofstream dbf(folder / (name + ".DBF"), std::ios::binary);
  dbf.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!dbf) throw std::runtime_error("cannot write " + name + ".DBF");

  MdxTagData codes{{"CODIGO", "CODIGO", 'C', kCodeWidth}, {}};
  MdxTagData amounts{{"IMPORTE", "IMPORTE", 'N', 12}, {}};
  for (std::size_t i = 0; i < count; ++i) {
    const auto record = static_cast<std::uint32_t>(i + 1);
    codes.keys.push_back({rows[i].code, 0, record});
    amounts.keys.push_back({"", rows[i].amount, record});
  }
  WriteMdx(folder / (name + ".MDX"), name, level, kAnsiBinaryDriver, {codes, amounts});

  WriteExpected(folder / (name + ".CODIGO.expected"), count,
                [&](std::uint32_t a, std::uint32_t b) { return rows[a].code < rows[b].code; });
  WriteExpected(folder / (name + ".IMPORTE.expected"), count,
                [&](std::uint32_t a, std::uint32_t b) { return rows[a].amount < rows[b].amount; });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || (std::string(argv[3]) != "4" && std::string(argv[3]) != "7")) {
    std::cerr << "usage: mdx_sample OUTDIR NAME 4|7 ROWS\n";
    return 64;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    WriteSample(folder, argv[2], std::atoi(argv[3]), std::strtoul(argv[4], nullptr, 10));
  } catch (const std::exception& error) {
    std::cerr << "mdx_sample: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
