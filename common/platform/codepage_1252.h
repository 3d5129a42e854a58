#pragma once

// Windows-1252 without the operating system, so the POSIX build stores text
// exactly as a Western-European Windows would, and tests can compare the two.

#include <string>
#include <string_view>

namespace ludaro::platform {

// A character cp1252 lacks becomes one '?' (a surrogate pair counts as one
// character). The five bytes cp1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for U+0081, U+008D, U+008F, U+0090 and U+009D both ways, as on
// Windows, so every byte string survives FromCp1252 followed by ToCp1252.
std::string ToCp1252(std::u16string_view text);
// The same written to the `room` bytes at `into`; returns the bytes the whole
// text takes, of which only the first `room` are written.
std::size_t ToCp1252Into(std::u16string_view text, char* into, std::size_t room);
std::u16string FromCp1252(std::string_view bytes);

}  // namespace ludaro::platform
