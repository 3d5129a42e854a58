#pragma once

// HORARIO.CSV, the timetable as XADE reads it: one line per taught hour,
// every field in double quotes, CRLF, in the ANSI code page.

#include <filesystem>
#include <string>
#include <vector>

#include "common/dbf/table.h"

namespace ludaro {

inline constexpr const char* kHorarioCsvName = "HORARIO.CSV";

// One line with its CRLF, encoded in `codePage`. A double quote inside a
// field is doubled, so a reader of the line finds the field's text again;
// fields without one are written as they are.
std::string HorarioCsvLine(const std::vector<std::u16string>& fields, unsigned codePage);

// Writes every row of the open export table, from its first row in its
// current order, as the file HORARIO.CSV of `folder`. The lines go to a
// temporary file beside it that replaces HORARIO.CSV only once complete, so
// a failure part way leaves the earlier HORARIO.CSV as it was. Returns the
// file written.
std::filesystem::path EscribirHorarioCsv(dbf::Table& horario, const std::filesystem::path& folder);

}  // namespace ludaro
