#pragma once

// Editing one value of an INI file without disturbing the rest of it, the way
// the Windows profile functions are expected to: other sections, keys,
// comments, blank lines and line ends stay byte for byte as they were.

#include <filesystem>
#include <string>
#include <string_view>

namespace ludaro::platform {

// `contents` with `key=value` set in `[section]`. Section and key names are
// matched without regard to ASCII letter case; the first matching section and
// the first matching key in it win. A missing key is added after the last
// non-blank line of its section, a missing section at the end of the file.
// New lines end like the file's first line (CRLF for an empty file). A file
// that starts with the UTF-16LE byte order mark is edited as UTF-16LE; any
// other file as 8-bit text (ANSI or UTF-8 alike, since the names and the
// value are ASCII). Throws Error when section, key or value is not plain
// printable ASCII or would break the line structure.
std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value);

// Reads `iniFile` (a missing file counts as empty), applies SetIniValue and
// writes the result to a temporary file beside it that then replaces the
// original, so a failure never leaves a partly written INI file. Throws
// Error("Unable to write to <full path>") when it cannot read or replace it.
void UpdateIniFile(const std::filesystem::path& iniFile, std::string_view section, std::string_view key,
                   std::string_view value);

}  // namespace ludaro::platform
