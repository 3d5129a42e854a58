#include "import/used_abbreviations.h"

#include "import/stored_text.h"

namespace ludaro {

bool UsedAbbreviations::IsFree(std::u16string_view stored) const {
  return !stored.empty() && !taken_.Contains(stored);
}

std::u16string UsedAbbreviations::Assign(std::u16string_view preferred, std::u16string_view base) {
  std::u16string stored = StoredText(preferred, kWidth);
  lastDeviation_.reset();
  if (!IsFree(stored)) {
    lastDeviation_ = AbbreviationDeviation{stored.empty() ? DeviationReason::Empty : DeviationReason::Taken,
                                           std::u16string(preferred)};
    std::uint64_t& number = nextNumber_.try_emplace(std::u16string(base), 1).first->second;
    for (;; ++number) {
      stored = StoredText(rule_(base, number), kWidth);
      if (IsFree(stored)) break;
    }
  } else if (const auto reason = StoringDeviation(preferred, stored, kWidth)) {
    lastDeviation_ = AbbreviationDeviation{*reason, std::u16string(preferred)};
  }
  taken_.Add(stored);
  return stored;
}

}  // namespace ludaro
