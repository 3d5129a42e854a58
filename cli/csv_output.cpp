#include "cli/csv_output.h"

#include "common/dbf/field_codec.h"
#include "common/utf.h"

namespace ludaro::cli {

std::string FormatValue(const dbf::FieldValue& value) {
  struct Formatter {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(const std::u16string& text) const { return U16ToUtf8(text); }
    std::string operator()(std::int64_t number) const { return std::to_string(number); }
    std::string operator()(double number) const { return dbf::ShortestDecimal(number); }
    std::string operator()(bool flag) const { return flag ? "T" : "F"; }
  };
  return std::visit(Formatter{}, value);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    line += CsvField(fields[i]);
  }
  line += '\n';
  return line;
}

}  // namespace ludaro::cli
