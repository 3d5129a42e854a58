#include "import/abbreviation_schemes.h"

#include "common/clipper.h"
#include "common/utf.h"

namespace ludaro {
namespace {

constexpr std::size_t kWidth = 10;

std::u16string FirstAndInitials(std::u16string_view text) {
  if (text.empty()) return {};
  return std::u16string(1, text.front()) + Initials(text);
}

std::u16string Decimal(std::uint64_t number) { return Utf8ToU16(std::to_string(number)); }

// The base shortened so that base and digits fill at most the whole width.
std::u16string ShortenedBeforeDigits(std::u16string_view base, const std::u16string& digits) {
  const std::size_t room = digits.size() < kWidth ? kWidth - digits.size() : 0;
  return std::u16string(base.substr(0, room)) + digits;
}

}  // namespace

std::u16string SubjectBase(std::u16string_view keyText, std::u16string_view name) {
  std::u16string base = keyText.size() <= kWidth ? std::u16string(keyText) : FirstAndInitials(keyText);
  if (base.size() < 2) base = FirstAndInitials(name);
  if (base.size() > kWidth) base = AllTrim(std::u16string_view(base).substr(0, kWidth));
  return base;
}

std::u16string SubjectCandidate(std::u16string_view base, std::uint64_t number) {
  const std::u16string digits = Decimal(number);
  std::u16string candidate = std::u16string(base) + digits;
  if (number <= 99) {
    const std::size_t trimmed = AllTrim(candidate).size();
    if (trimmed > kWidth) candidate = candidate.substr(0, 8) + candidate.substr(trimmed - 2, 2);
    return candidate;
  }
  if (candidate.size() > kWidth) candidate = ShortenedBeforeDigits(base, digits);
  return candidate;
}

std::u16string PrefixedNumber(std::u16string_view base, std::uint64_t number) {
  return ShortenedBeforeDigits(base, Decimal(number));
}

std::u16string TeacherAbbreviation(std::u16string_view name) {
  std::u16string abbreviation = Capitals(name);
  if (!abbreviation.empty()) return abbreviation;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (name[i] != u' ' && (i == 0 || name[i - 1] == u' ')) abbreviation.push_back(name[i]);
  return abbreviation;
}

std::u16string NumberingPrefix(std::u16string_view abbreviation) { return std::u16string(abbreviation.substr(0, 3)); }

}  // namespace ludaro
