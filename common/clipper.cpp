#include "common/clipper.h"

namespace ludaro {

namespace {

constexpr char16_t kSpace = u' ';

}  // namespace

std::u16string LTrim(std::u16string_view text) {
  const std::size_t first = text.find_first_not_of(kSpace);
  return first == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(first));
}

std::u16string RTrim(std::u16string_view text) {
  const std::size_t last = text.find_last_not_of(kSpace);
  return last == std::u16string_view::npos ? std::u16string() : std::u16string(text.substr(0, last + 1));
}

std::u16string AllTrim(std::u16string_view text) { return LTrim(RTrim(text)); }

std::u16string Capitals(std::u16string_view text) {
  std::u16string result;
  for (const char16_t c : text) {
    if (c >= u'A' && c <= u'Z') result.push_back(c);
  }
  return result;
}

std::u16string Initials(std::u16string_view text) {
  std::u16string result;
  for (std::size_t pos = 0; pos + 1 < text.size(); ++pos) {
    if (text[pos] == kSpace) result.push_back(text[pos + 1]);
  }
  return result;
}

}  // namespace ludaro
