#include "import/text_set.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

#include "common/error.h"

namespace ludaro {
namespace {

std::uint32_t HashOf(std::u16string_view text) {
  const std::uint64_t hash = std::hash<std::u16string_view>{}(text);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::uint32_t NumberIn(std::uint64_t slot) { return static_cast<std::uint32_t>(slot); }
std::uint32_t HashIn(std::uint64_t slot) { return static_cast<std::uint32_t>(slot >> 32); }
std::uint64_t Slot(std::uint32_t hash, std::size_t numberPlusOne) {
  return std::uint64_t{hash} << 32 | static_cast<std::uint32_t>(numberPlusOne);
}

}  // namespace

std::u16string_view TextSet::Text(std::uint32_t number) const {
  const std::size_t begin = number == 0 ? 0 : ends_[number - 1];
  return std::u16string_view(characters_).substr(begin, ends_[number] - begin);
}

std::size_t TextSet::Probe(std::u16string_view text, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = hash & mask;
  for (; slots_[i] != 0; i = (i + 1) & mask)
    if (HashIn(slots_[i]) == hash && Text(NumberIn(slots_[i]) - 1) == text) break;
  return i;
}

// The hashes in the slots are all a new table needs.
void TextSet::Grow() {
  const std::size_t size = std::max<std::size_t>(16, slots_.size() * 2);
  const std::vector<std::uint64_t> old = std::exchange(slots_, std::vector<std::uint64_t>(size));
  const std::size_t mask = slots_.size() - 1;
  for (const std::uint64_t slot : old) {
    if (slot == 0) continue;
    std::size_t i = HashIn(slot) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

bool TextSet::Contains(std::u16string_view text) const { return Find(text).has_value(); }

std::optional<std::uint32_t> TextSet::Find(std::u16string_view text) const {
  if (slots_.empty()) return std::nullopt;
  const std::uint64_t slot = slots_[Probe(text, HashOf(text))];
  if (slot == 0) return std::nullopt;
  return NumberIn(slot) - 1;
}

bool TextSet::Insert(std::u16string_view text) {
  const std::size_t before = Size();
  Add(text);
  return Size() != before;
}

std::uint32_t TextSet::Add(std::u16string_view text) {
  if ((ends_.size() + 1) * 2 > slots_.size()) Grow();
  const std::uint32_t hash = HashOf(text);
  const std::size_t slot = Probe(text, hash);
  if (slots_[slot] != 0) return NumberIn(slots_[slot]) - 1;
  if (ends_.size() == std::numeric_limits<std::uint32_t>::max() - 1) throw Error("Too many texts to tell apart");
  characters_.append(text);
  ends_.push_back(characters_.size());
  slots_[slot] = Slot(hash, ends_.size());
  return static_cast<std::uint32_t>(ends_.size() - 1);
}

}  // namespace ludaro
