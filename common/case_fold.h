#pragma once

// Letter case folded away, so that abbreviations compare as Windows' own
// case-insensitive comparison does for the letters of Spanish, Galician and
// the other languages of the Latin alphabet ("ÁLVAREZ" equals "álvarez").

#include <string>
#include <string_view>

namespace ludaro {

// The small letter of a capital in Basic Latin, Latin-1 and Latin
// Extended-A; every other character unchanged.
char16_t FoldCase(char16_t c);

std::u16string FoldCase(std::u16string_view text);

}  // namespace ludaro
