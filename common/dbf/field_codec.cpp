#include "common/dbf/field_codec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/error.h"
#include "common/platform/platform.h"

namespace ludaro::dbf {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  auto isBlank = [](char c) { return c == ' ' || c == '\0'; };
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

// ASCII view of text that should hold a number; nullopt if any character is
// outside ASCII, since no digit or sign is.
std::optional<std::string> AsciiOf(std::u16string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    ascii.push_back(static_cast<char>(c));
  }
  return ascii;
}

std::optional<double> ParseDouble(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace

std::u16string DecodeText(std::string_view stored, unsigned codePage) {
  while (!stored.empty() && (stored.back() == ' ' || stored.back() == '\0')) stored.remove_suffix(1);
  return platform::FromCodePage(stored, codePage);
}

void EncodeTextInto(std::u16string_view text, int width, unsigned codePage, char* field) {
  const std::size_t room = static_cast<std::size_t>(width);
  std::u16string_view cut = text.substr(0, room);
  std::size_t length = platform::ToCodePageInto(cut, codePage, field, room);
  while (length > room) {  // a double-byte code page: drop whole characters
    cut.remove_suffix(1);
    length = platform::ToCodePageInto(cut, codePage, field, room);
  }
  std::fill(field + length, field + room, ' ');
}

std::string EncodeText(std::u16string_view text, int width, unsigned codePage) {
  std::string bytes(static_cast<std::size_t>(width), ' ');
  EncodeTextInto(text, width, codePage, bytes.data());
  return bytes;
}

std::string EncodeForComparison(std::u16string_view text, unsigned codePage) {
  std::string bytes = platform::ToCodePage(text, codePage);
  while (!bytes.empty() && bytes.back() == ' ') bytes.pop_back();
  return bytes;
}

std::optional<double> DecodeNumber(std::string_view stored) {
  const std::string_view trimmed = TrimBlanks(stored);
  if (trimmed.empty()) return std::nullopt;
  if (auto value = ParseDouble(trimmed)) return value;
  throw Error("'" + std::string(trimmed) + "' is not a valid number");
}

std::optional<std::string> EncodeNumber(double value, int width, int decimals) {
  if (!std::isfinite(value)) return std::nullopt;
  if (value == 0) value = 0;  // no "-0"
  char buffer[400];
  std::to_chars_result result;
  if (decimals <= 0) {
    const double rounded = std::nearbyint(value);  // default rounding mode: halves to even
    result = std::to_chars(buffer, buffer + sizeof buffer, rounded == 0 ? 0.0 : rounded, std::chars_format::fixed, 0);
  } else {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  }
  if (result.ec != std::errc()) return std::nullopt;
  const std::size_t length = static_cast<std::size_t>(result.ptr - buffer);
  if (length > static_cast<std::size_t>(width)) return std::nullopt;
  return std::string(static_cast<std::size_t>(width) - length, ' ') + std::string(buffer, length);
}

std::optional<bool> DecodeLogical(char stored) {
  switch (stored) {
    case 'T': case 't': case 'Y': case 'y': return true;
    case 'F': case 'f': case 'N': case 'n': return false;
    default: return std::nullopt;
  }
}

std::optional<std::int64_t> ParseWholeNumber(std::u16string_view text) {
  const auto ascii = AsciiOf(text);
  if (!ascii) return std::nullopt;
  std::string_view view = *ascii;
  while (!view.empty() && view.front() == ' ') view.remove_prefix(1);
  while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
  if (!view.empty() && view.front() == '+') view.remove_prefix(1);
  if (view.empty()) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error != std::errc() || end != view.data() + view.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseDecimalNumber(std::u16string_view text) {
  const auto ascii = AsciiOf(text);
  if (!ascii) return std::nullopt;
  return ParseDouble(*ascii);
}

std::optional<std::int64_t> RoundHalfToEven(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = std::nearbyint(value);
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (rounded >= 9223372036854775808.0 || rounded < -9223372036854775808.0) return std::nullopt;
  return static_cast<std::int64_t>(rounded);
}

std::string ShortestDecimal(double value) {
  if (value == 0) value = 0;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace ludaro::dbf
