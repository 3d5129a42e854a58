#include "common/utf.h"

#include <cstdint>

namespace ludaro {

namespace {

// The well-formed UTF-8 byte sequences (Unicode, table 3-7): the lead byte
// fixes the length and the range of the second byte; every later byte is a
// plain continuation byte 80..BF.
struct LeadByte {
  int length;  // 0: never a lead byte
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadByte Classify(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};  // no overlong forms
  if (lead == 0xED) return {3, 0x80, 0x9F};  // no surrogates
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};  // no overlong forms
  if (lead == 0xF4) return {4, 0x80, 0x8F};  // nothing above U+10FFFF
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  return {0, 0, 0};
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

void AppendCodePoint(std::u16string& out, std::uint32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {
    out.push_back(static_cast<char>(codePoint));
  } else if (codePoint < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::u16string Utf8ToU16(std::string_view utf8) {
  std::u16string out;
  Utf8ToU16(utf8, out);
  return out;
}

void Utf8ToU16(std::string_view utf8, std::u16string& out) {
  out.clear();
  out.reserve(utf8.size());
  const std::size_t size = utf8.size();
  std::size_t pos = 0;
  while (pos < size) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    if (lead < 0x80) {
      // Most text is plain ASCII: a run of it is copied at once.
      std::size_t run = pos + 1;
      while (run < size && static_cast<unsigned char>(utf8[run]) < 0x80) ++run;
      const std::size_t at = out.size();
      out.resize(at + (run - pos));
      for (std::size_t i = pos; i < run; ++i)
        out[at + (i - pos)] = static_cast<char16_t>(static_cast<unsigned char>(utf8[i]));
      pos = run;
      continue;
    }
    const LeadByte kind = Classify(lead);
    if (kind.length == 0) {
      out.push_back(kReplacementCharacter);
      ++pos;
      continue;
    }
    // Take continuation bytes while they can still complete a well-formed
    // sequence; the first byte that cannot is not consumed, so it starts the
    // next character (or the next replacement).
    std::uint32_t codePoint = lead & (0xFFu >> (kind.length + 1));
    std::size_t next = pos + 1;
    int taken = 1;
    while (taken < kind.length && next < size) {
      const auto byte = static_cast<unsigned char>(utf8[next]);
      const bool fits = taken == 1 ? byte >= kind.secondLow && byte <= kind.secondHigh : IsContinuation(byte);
      if (!fits) break;
      codePoint = (codePoint << 6) | (byte & 0x3Fu);
      ++next;
      ++taken;
    }
    if (taken == kind.length) {
      AppendCodePoint(out, codePoint);
    } else {
      out.push_back(kReplacementCharacter);
    }
    pos = next;
  }
}

std::string U16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  const std::size_t size = text.size();
  for (std::size_t pos = 0; pos < size; ++pos) {
    const char16_t unit = text[pos];
    if (IsHighSurrogate(unit) && pos + 1 < size && IsLowSurrogate(text[pos + 1])) {
      const std::uint32_t codePoint = 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                                      (static_cast<std::uint32_t>(text[pos + 1]) - 0xDC00);
      AppendUtf8(out, codePoint);
      ++pos;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacementCharacter);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace ludaro
