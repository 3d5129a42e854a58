#include "import/first_names.h"

#include <functional>

namespace ludaro {

FirstNames::Seen FirstNames::See(std::u16string_view code, std::u16string_view name, long line) {
  const std::size_t before = codes_.Size();
  const std::uint32_t number = codes_.Add(code);
  const std::uint64_t hash = std::hash<std::u16string_view>{}(name);
  if (codes_.Size() != before) {
    nameHashes_.push_back(hash);
    lines_.push_back(line);
    return {number, true, 0};
  }
  return {number, false, nameHashes_[number] == hash ? 0 : lines_[number]};
}

}  // namespace ludaro
