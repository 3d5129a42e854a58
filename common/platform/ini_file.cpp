#include "common/platform/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <system_error>
#include <vector>

#include "common/error.h"
#include "common/platform/platform.h"

namespace ludaro::platform {
namespace {

// An INI file is a few lines; anything much larger is not one we should rewrite.
constexpr std::uint64_t kLargestIniFile = 16u << 20;

template <typename CharT>
using View = std::basic_string_view<CharT>;

template <typename CharT>
struct Line {
  std::size_t begin;     // offset of the text in the whole file
  View<CharT> text;      // without its line end
  View<CharT> end;       // "\r\n", "\n" or empty on a last line without one
};

template <typename CharT>
std::vector<Line<CharT>> SplitLines(View<CharT> contents) {
  std::vector<Line<CharT>> lines;
  std::size_t pos = 0;
  while (pos < contents.size()) {
    const std::size_t newline = contents.find(CharT('\n'), pos);
    if (newline == View<CharT>::npos) {
      lines.push_back({pos, contents.substr(pos), {}});
      break;
    }
    std::size_t textEnd = newline;
    if (textEnd > pos && contents[textEnd - 1] == CharT('\r')) --textEnd;
    lines.push_back({pos, contents.substr(pos, textEnd - pos), contents.substr(textEnd, newline + 1 - textEnd)});
    pos = newline + 1;
  }
  return lines;
}

template <typename CharT>
bool IsBlank(CharT c) {
  return c == CharT(' ') || c == CharT('\t');
}

template <typename CharT>
View<CharT> TrimBlanks(View<CharT> text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

template <typename CharT>
bool EqualsIgnoringAsciiCase(View<CharT> text, std::string_view ascii) {
  const auto lower = [](char32_t c) { return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c; };
  return text.size() == ascii.size() &&
         std::equal(text.begin(), text.end(), ascii.begin(), [&](CharT a, char b) {
           return lower(static_cast<char32_t>(a)) == lower(static_cast<unsigned char>(b));
         });
}

// "[name]" with optional blanks around; nullopt for every other line.
template <typename CharT>
std::optional<View<CharT>> SectionName(View<CharT> line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != CharT('[')) return std::nullopt;
  const std::size_t close = line.find(CharT(']'));
  if (close == View<CharT>::npos) return std::nullopt;
  return TrimBlanks(line.substr(1, close - 1));
}

// The key of "key=value" (or of a bare "key"); nullopt for blank lines and
// ";" comments.
template <typename CharT>
std::optional<View<CharT>> KeyName(View<CharT> line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() == CharT(';')) return std::nullopt;
  return TrimBlanks(line.substr(0, line.find(CharT('='))));
}

template <typename CharT>
std::basic_string<CharT> Widen(std::string_view ascii) {
  return std::basic_string<CharT>(ascii.begin(), ascii.end());
}

template <typename CharT>
std::basic_string<CharT> SetValue(View<CharT> contents, std::string_view section, std::string_view key,
                                  std::string_view value) {
  const auto lines = SplitLines(contents);
  const std::basic_string<CharT> newline =
      !lines.empty() && !lines.front().end.empty() ? std::basic_string<CharT>(lines.front().end) : Widen<CharT>("\r\n");

  std::optional<std::size_t> header;  // line of the first matching section
  std::size_t sectionEnd = lines.size();
  std::optional<std::size_t> keyLine;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (auto name = SectionName(lines[i].text)) {
      if (header) {
        sectionEnd = i;
        break;
      }
      if (EqualsIgnoringAsciiCase(*name, section)) header = i;
      continue;
    }
    if (!header || keyLine) continue;
    if (auto name = KeyName(lines[i].text); name && EqualsIgnoringAsciiCase(*name, key)) keyLine = i;
  }

  const std::basic_string<CharT> assignment = Widen<CharT>(key) + CharT('=') + Widen<CharT>(value);
  std::basic_string<CharT> out;
  if (keyLine) {
    // Keep the key as the file spells it; only the value changes.
    const Line<CharT>& line = lines[*keyLine];
    out.append(contents.substr(0, line.begin));
    out.append(*KeyName(line.text));
    out += CharT('=');
    out.append(Widen<CharT>(value));
    out.append(line.end);
    out.append(contents.substr(line.begin + line.text.size() + line.end.size()));
  } else if (header) {
    std::size_t last = *header;
    for (std::size_t i = *header + 1; i < sectionEnd; ++i)
      if (!TrimBlanks(lines[i].text).empty()) last = i;
    const std::size_t insertAt = lines[last].begin + lines[last].text.size() + lines[last].end.size();
    out.append(contents.substr(0, insertAt));
    if (lines[last].end.empty()) out.append(newline);
    out.append(assignment);
    out.append(newline);
    out.append(contents.substr(insertAt));
  } else {
    out.append(contents);
    if (!lines.empty() && lines.back().end.empty()) out.append(newline);
    out += CharT('[');
    out.append(Widen<CharT>(section));
    out += CharT(']');
    out.append(newline);
    out.append(assignment);
    out.append(newline);
  }
  return out;
}

void CheckName(std::string_view text, std::string_view what, std::string_view forbidden) {
  const bool printable = std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
  const bool fits = !text.empty() && !IsBlank(text.front()) && !IsBlank(text.back()) &&
                    text.find_first_of(forbidden) == std::string_view::npos;
  if (!printable || !fits) throw Error("Cannot write the INI " + std::string(what) + " '" + std::string(text) + "'");
}

std::string SetValueUtf16(std::string_view bytes, bool littleEndian, std::string_view section,
                          std::string_view key, std::string_view value) {
  if (bytes.size() % 2 != 0) throw Error("The INI file is UTF-16 but has an odd number of bytes");
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned low = littleEndian ? byteAt(i) : byteAt(i + 1);
    const unsigned high = littleEndian ? byteAt(i + 1) : byteAt(i);
    units.push_back(static_cast<char16_t>(low | high << 8));
  }
  const std::u16string edited = SetValue<char16_t>(units, section, key, value);
  std::string out;
  out.reserve(edited.size() * 2);
  for (const char16_t unit : edited) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    out.push_back(littleEndian ? low : high);
    out.push_back(littleEndian ? high : low);
  }
  return out;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
  try {
    File in = File::Open(file, Access::ReadOnly, Share::Read);
    const std::uint64_t size = in.Size();
    if (size > kLargestIniFile) throw Error("The INI file is too large", file.u8string());
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(in.ReadAt(0, bytes.data(), bytes.size()));
    return bytes;
  } catch (const OpenError& error) {
    if (error.failure().kind == OpenFailure::Kind::NotFound) return {};
    throw;
  }
}

}  // namespace

std::string SetIniValue(std::string_view contents, std::string_view section, std::string_view key,
                        std::string_view value) {
  CheckName(section, "section", "[]");
  CheckName(key, "key", "=;[");
  const bool valuePrintable = std::all_of(value.begin(), value.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
  if (!valuePrintable) throw Error("Cannot write the INI value '" + std::string(value) + "'");

  if (contents.substr(0, 2) == "\xFF\xFE" || contents.substr(0, 2) == "\xFE\xFF") {
    const bool littleEndian = contents[0] == '\xFF';
    return std::string(contents.substr(0, 2)) + SetValueUtf16(contents.substr(2), littleEndian, section, key, value);
  }
  return SetValue<char>(contents, section, key, value);
}

void UpdateIniFile(const std::filesystem::path& iniFile, std::string_view section, std::string_view key,
                   std::string_view value) {
  std::error_code ignored;
  std::filesystem::path target = std::filesystem::absolute(iniFile, ignored);
  if (target.empty()) target = iniFile;
  // Replacing a symbolic link would cut it; write where it points instead.
  if (std::filesystem::is_symlink(target, ignored)) {
    const auto resolved = std::filesystem::weakly_canonical(target, ignored);
    if (!resolved.empty()) target = resolved;
  }
  std::filesystem::path temporary = target.parent_path() / ".";
  temporary += target.filename().native();
  temporary += ".new";
  bool temporaryCreated = false;
  try {
    const std::string updated = SetIniValue(ReadWholeFile(target), section, key, value);
    {
      File out = File::Open(temporary, Access::ReadWrite, Share::None, Disposition::CreateAlways);
      temporaryCreated = true;
      out.WriteAt(0, updated.data(), updated.size());
      out.Flush();
    }
    const auto status = std::filesystem::status(target, ignored);
    if (std::filesystem::exists(status))
      std::filesystem::permissions(temporary, status.permissions(), ignored);
    std::filesystem::rename(temporary, target);
  } catch (const std::exception&) {
    if (temporaryCreated) std::filesystem::remove(temporary, ignored);
    throw Error("Unable to write to " + target.u8string(), target.u8string());
  }
}

}  // namespace ludaro::platform
