#include "common/case_fold.h"

namespace ludaro {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);  // À..Þ but not ×
  if (c == 0x178) return 0xFF;                                                      // Ÿ
  // Latin Extended-A pairs a capital with the small letter after it; the
  // pairing shifts by one between the dotless i and the long s.
  const bool evenCapitals = (c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
  const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if ((evenCapitals && c % 2 == 0) || (oddCapitals && c % 2 == 1)) return static_cast<char16_t>(c + 1);
  return c;
}

std::u16string FoldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace ludaro
