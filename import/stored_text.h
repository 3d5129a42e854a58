#pragma once

// What a text field gives back for a text stored into it: cut to the field's
// width, passed through the ANSI code page (characters it lacks become '?'),
// without trailing blanks. Presence and uniqueness tests compare this form,
// so that two values the table cannot tell apart are never taken for two.

#include <string>
#include <string_view>

namespace ludaro {

std::u16string StoredText(std::u16string_view text, int width);

}  // namespace ludaro
