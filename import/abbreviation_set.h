#pragma once

// The abbreviations a step has handed out, searched without regard to letter
// case. A hash set on the folded text, so that testing a candidate costs the
// same for the tenth row as for the hundred-thousandth.

#include <string>
#include <string_view>
#include <unordered_set>

namespace ludaro {

class AbbreviationSet {
 public:
  bool Contains(std::u16string_view abbreviation) const;
  // False when an abbreviation equal to it but for letter case is present.
  bool Add(std::u16string_view abbreviation);
  std::size_t Size() const { return folded_.size(); }

 private:
  std::unordered_set<std::u16string> folded_;
};

}  // namespace ludaro
