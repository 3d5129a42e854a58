#pragma once

#include <string>
#include <string_view>

namespace ludaro {

inline constexpr char16_t kReplacementCharacter = u'\uFFFD';

// Decodes UTF-8 into 16-bit text. Every invalid or truncated sequence, overlong
// form, surrogate code point or code point above U+10FFFF becomes one U+FFFD
// (one per maximal invalid subpart, as Unicode recommends); never fails.
std::u16string Utf8ToU16(std::string_view utf8);
// The same into `out` (replacing what it held), reusing its storage.
void Utf8ToU16(std::string_view utf8, std::u16string& out);

// Encodes 16-bit text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string U16ToUtf8(std::u16string_view text);

}  // namespace ludaro
