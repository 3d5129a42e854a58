#include "common/platform/codepage_1252.h"

#include <algorithm>
#include <array>

namespace ludaro::platform {
namespace {

// Bytes 0x80..0x9F; everything else in cp1252 is the Latin-1 code point of
// the same value.
constexpr std::array<char16_t, 32> kHighControls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178',
};

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char EncodeOne(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::size_t ToCp1252Into(std::u16string_view text, char* into, std::size_t room) {
  // ASCII and the rest of Latin-1 but its C1 controls are their own bytes:
  // the run of them most text is copied without further checks.
  const std::size_t direct = std::min(text.size(), room);
  std::size_t i = 0;
  for (; i < direct && (text[i] < 0x80 || (text[i] >= 0xA0 && text[i] <= 0xFF)); ++i)
    into[i] = static_cast<char>(text[i]);
  std::size_t length = i;
  for (; i < text.size(); ++i, ++length) {
    const char16_t c = text[i];
    char byte;
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      byte = '?';  // one character outside the basic plane, one '?'
      ++i;
    } else {
      byte = EncodeOne(c);
    }
    if (length < room) into[length] = byte;
  }
  return length;
}

std::string ToCp1252(std::u16string_view text) {
  // Never more bytes than characters.
  std::string bytes(text.size(), '\0');
  bytes.resize(ToCp1252Into(text, bytes.data(), bytes.size()));
  return bytes;
}

std::u16string FromCp1252(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    text.push_back(b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80u] : static_cast<char16_t>(b));
  }
  return text;
}

}  // namespace ludaro::platform
