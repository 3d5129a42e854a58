#include "import/text_set.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "common/error.h"

namespace ludaro {
namespace {

std::size_t HashOf(std::u16string_view text) { return std::hash<std::u16string_view>{}(text); }

}  // namespace

std::u16string_view TextSet::Text(std::size_t number) const {
  const std::size_t begin = number == 0 ? 0 : ends_[number - 1];
  return std::u16string_view(characters_).substr(begin, ends_[number] - begin);
}

std::size_t TextSet::Probe(std::u16string_view text) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = HashOf(text) & mask;
  while (slots_[i] != 0 && Text(slots_[i] - 1) != text) i = (i + 1) & mask;
  return i;
}

void TextSet::Grow() {
  slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t number = 0; number < ends_.size(); ++number) {
    std::size_t i = HashOf(Text(number)) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = static_cast<std::uint32_t>(number + 1);
  }
}

bool TextSet::Contains(std::u16string_view text) const { return !slots_.empty() && slots_[Probe(text)] != 0; }

bool TextSet::Insert(std::u16string_view text) {
  if (ends_.size() == std::numeric_limits<std::uint32_t>::max() - 1) throw Error("Too many texts to tell apart");
  if ((ends_.size() + 1) * 2 > slots_.size()) Grow();
  const std::size_t slot = Probe(text);
  if (slots_[slot] != 0) return false;
  characters_.append(text);
  ends_.push_back(characters_.size());
  slots_[slot] = static_cast<std::uint32_t>(ends_.size());
  return true;
}

}  // namespace ludaro
