#pragma once

// The abbreviations one step has handed out for one table, as that table
// stores them: every abbreviation it gives is non-empty, at most 10
// characters, and differs from every earlier one without regard to letter
// case, in the form the field gives back (StoredText).
//
// A step prefers an abbreviation of its own making; when that is taken, it
// numbers a base by its candidate rule, trying 1, 2, 3 ... until a candidate
// is free. The rule must give, for large enough numbers, candidates that never
// repeat, so the search always ends. Each base remembers the number its last
// search ended on: every lower number was taken then and still is, so the
// next search on that base starts there, and a school with thousands of rows
// of one base stays linear.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "import/abbreviation_deviation.h"
#include "import/abbreviation_set.h"

namespace ludaro {

class UsedAbbreviations {
 public:
  static constexpr int kWidth = 10;

  // The candidate of number `number` (from 1) for `base`.
  using CandidateRule = std::u16string (*)(std::u16string_view base, std::uint64_t number);

  explicit UsedAbbreviations(CandidateRule rule) : rule_(rule) {}

  // Gives `preferred` (as stored) when it is free, else the first free
  // numbered candidate of `base`; either way the result is taken from now on.
  std::u16string Assign(std::u16string_view preferred, std::u16string_view base);

  bool IsFree(std::u16string_view stored) const;

  // How the abbreviation the last Assign gave differs from `preferred`, if
  // it does.
  const std::optional<AbbreviationDeviation>& LastDeviation() const { return lastDeviation_; }

 private:
  CandidateRule rule_;
  AbbreviationSet taken_;
  std::unordered_map<std::u16string, std::uint64_t> nextNumber_;
  std::optional<AbbreviationDeviation> lastDeviation_;
};

}  // namespace ludaro
