#include "import/abbreviation_set.h"

#include "common/case_fold.h"

namespace ludaro {

bool AbbreviationSet::Contains(std::u16string_view abbreviation) const {
  return folded_.count(FoldCase(abbreviation)) != 0;
}

bool AbbreviationSet::Add(std::u16string_view abbreviation) { return folded_.insert(FoldCase(abbreviation)).second; }

}  // namespace ludaro
