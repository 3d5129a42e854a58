#pragma once

// Small text helpers the import steps use to clean XADE names and shorten them
// into abbreviations. The only blank they know is the space U+0020: a tab or a
// no-break space is an ordinary character to them.

#include <string>
#include <string_view>

namespace ludaro {

// The text without its leading spaces.
std::u16string LTrim(std::u16string_view text);

// The text without its trailing spaces.
std::u16string RTrim(std::u16string_view text);

// The text without its leading and trailing spaces; spaces inside stay as they are.
std::u16string AllTrim(std::u16string_view text);

// The letters A to Z of the text, in their order. Small letters and capitals
// with diacritics (Á, Ñ) are dropped.
std::u16string Capitals(std::u16string_view text);

// The character after each space of the text, in their order. The first
// character is never taken, and in a run of spaces every space but the last
// contributes a space: "Ciencias  Naturais" gives " N".
std::u16string Initials(std::u16string_view text);

}  // namespace ludaro
