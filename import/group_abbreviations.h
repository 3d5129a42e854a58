#pragma once

// The abbreviations of the group table: every stored ABREV is unique without
// regard to letter case, non-empty and at most 10 characters.
//
// Groups: NIVEL + CURSO + group name; when taken, the same base (one
// character shorter if it fills the field) followed by A, B, ... Y, as
// Horalia's users know them. Where that runs out or would not fit, the scheme
// goes on with Z and the digits, then with two characters (AA, AB, ...), the
// base shortened so the whole stays within the field.
//
// Subgroups: the parent's abbreviation followed by 1, 2, 3 ...; a number that
// would not fit takes characters off the end of the parent's abbreviation
// instead of being cut off itself.
//
// Each family of candidates remembers how far it has got, so that a school
// with thousands of groups of one name stays linear.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "import/abbreviation_deviation.h"
#include "import/abbreviation_set.h"

namespace ludaro {

class GroupAbbreviations {
 public:
  static constexpr std::size_t kWidth = 10;

  // An abbreviation already in the table.
  void Reserve(std::u16string_view stored);

  std::u16string ForGroup(std::u16string_view base);
  std::u16string ForSubgroup(std::u16string_view parent);

  // How the abbreviation last handed out differs from its natural form: the
  // base for a group, the parent's abbreviation followed by the subgroup's
  // place among that parent's subgroups for a subgroup.
  const std::optional<AbbreviationDeviation>& LastDeviation() const { return lastDeviation_; }

 private:
  struct SubgroupFamily {
    std::uint64_t next = 1;   // the number the next search starts from
    std::uint64_t count = 0;  // subgroups handed out
  };

  bool Take(std::u16string_view candidate);

  AbbreviationSet taken_;
  std::unordered_map<std::u16string, std::uint64_t> nextSuffix_;
  std::unordered_map<std::u16string, SubgroupFamily> subgroupFamilies_;
  std::optional<AbbreviationDeviation> lastDeviation_;
};

}  // namespace ludaro
