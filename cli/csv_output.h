#pragma once

// Table values as UTF-8 CSV text, for dumping tables in a form other tools
// (and the interoperability tests) can compare line by line.

#include <string>
#include <string_view>
#include <vector>

#include "common/dbf/table.h"

namespace ludaro::cli {

// A value as the engine read it: text as stored (without trailing blanks),
// whole numbers in decimal, other numbers as the shortest decimal that reads
// back to the same double, logicals as T or F, blank values empty.
std::string FormatValue(const dbf::FieldValue& value);

// One CSV field: quoted, with quotes doubled, when it holds a comma, a
// quote, a CR or a LF; otherwise as it is.
std::string CsvField(std::string_view text);

// Fields joined by commas and ended by "\n".
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace ludaro::cli
