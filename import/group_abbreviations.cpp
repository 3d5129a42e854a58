#include "import/group_abbreviations.h"

#include <algorithm>
#include <string>

#include "common/case_fold.h"
#include "common/error.h"

namespace ludaro {
namespace {

constexpr std::u16string_view kSuffixCharacters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// The n-th suffix of `length` characters: A, B, ... 9 for one character, then
// AA, AB, ... for two.
std::u16string Suffix(std::uint64_t n, std::size_t length) {
  std::u16string suffix(length, u'A');
  for (std::size_t i = length; i-- > 0;) {
    suffix[i] = kSuffixCharacters[static_cast<std::size_t>(n % kSuffixCharacters.size())];
    n /= kSuffixCharacters.size();
  }
  return suffix;
}

std::uint64_t SuffixCount(std::size_t length) {
  std::uint64_t count = 1;
  for (std::size_t i = 0; i < length; ++i) count *= kSuffixCharacters.size();
  return count;
}

std::u16string Decimal(std::uint64_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

void GroupAbbreviations::Reserve(std::u16string_view stored) { taken_.Add(stored); }

bool GroupAbbreviations::Take(std::u16string_view candidate) {
  if (candidate.empty() || candidate.size() > kWidth) return false;
  return taken_.Add(candidate);
}

std::u16string GroupAbbreviations::ForGroup(std::u16string_view base) {
  const std::u16string_view fitted = base.substr(0, kWidth);
  lastDeviation_.reset();
  if (Take(fitted)) {
    if (fitted.size() < base.size())
      lastDeviation_ = AbbreviationDeviation{DeviationReason::TooLong, std::u16string(base)};
    return std::u16string(fitted);
  }
  lastDeviation_ =
      AbbreviationDeviation{fitted.empty() ? DeviationReason::Empty : DeviationReason::Taken, std::u16string(base)};
  for (std::size_t length = 1; length <= kWidth; ++length) {
    const std::u16string_view stem = base.substr(0, std::min(base.size(), kWidth - length));
    std::u16string family = FoldCase(stem);
    family.push_back(u'\0');
    family.push_back(static_cast<char16_t>(length));
    std::uint64_t& next = nextSuffix_[family];
    for (const std::uint64_t count = SuffixCount(length); next < count;) {
      std::u16string candidate = std::u16string(stem) + Suffix(next++, length);
      if (Take(candidate)) return candidate;
    }
  }
  // Only after 36^10 abbreviations of one stem.
  throw Error("No free group abbreviation is left");
}

std::u16string GroupAbbreviations::ForSubgroup(std::u16string_view parent) {
  SubgroupFamily& family = subgroupFamilies_[FoldCase(parent)];
  std::u16string natural = std::u16string(parent) + Decimal(++family.count);
  for (;;) {
    const std::u16string number = Decimal(family.next++);
    const std::size_t room = number.size() < kWidth ? kWidth - number.size() : 0;
    std::u16string candidate = std::u16string(parent.substr(0, room)) + number;
    if (!Take(candidate)) continue;
    lastDeviation_.reset();
    if (candidate != natural)
      lastDeviation_ = AbbreviationDeviation{
          natural.size() > kWidth ? DeviationReason::TooLong : DeviationReason::Taken, std::move(natural)};
    return candidate;
  }
}

}  // namespace ludaro
