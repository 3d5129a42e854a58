#include "import/abbreviation_set.h"

#include <algorithm>
#include <string>

#include "common/case_fold.h"
#include "common/error.h"
#include "common/utf.h"

namespace ludaro {

AbbreviationSet::Key AbbreviationSet::Fold(std::u16string_view abbreviation) {
  Key key;
  key.length = static_cast<std::uint8_t>(abbreviation.size());
  for (std::size_t i = 0; i < abbreviation.size(); ++i) key.folded[i] = FoldCase(abbreviation[i]);
  return key;
}

std::uint64_t AbbreviationSet::HashOf(const Key& key) {
  // FNV-1a over the characters, then mixed so the low bits a slot is taken
  // from depend on every character.
  std::uint64_t hash = 0xcbf29ce484222325ull ^ key.length;
  for (std::size_t i = 0; i < key.length; ++i) hash = (hash ^ key.folded[i]) * 0x100000001b3ull;
  hash ^= hash >> 32;
  hash *= 0x9e3779b97f4a7c15ull;
  return hash ^ (hash >> 29);
}

bool AbbreviationSet::Same(const Key& a, const Key& b) {
  return a.length == b.length && std::equal(a.folded.begin(), a.folded.begin() + a.length, b.folded.begin());
}

std::size_t AbbreviationSet::Probe(const Key& key, std::uint64_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  const std::uint32_t tag = TagOf(hash);
  std::size_t i = static_cast<std::size_t>(hash) & mask;
  for (; slots_[i] != 0; i = (i + 1) & mask)
    if ((slots_[i] & ~kPositionMask) == tag && Same(keys_[(slots_[i] & kPositionMask) - 1], key)) break;
  return i;
}

void AbbreviationSet::Grow() {
  const std::size_t size = std::max<std::size_t>(16, slots_.size() * 2);
  slots_ = {};  // rebuilt from keys_, so the old table goes first
  slots_.assign(size, 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t k = 0; k < keys_.size(); ++k) {
    const std::uint64_t hash = HashOf(keys_[k]);
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = TagOf(hash) | static_cast<std::uint32_t>(k + 1);
  }
}

bool AbbreviationSet::Contains(std::u16string_view abbreviation) const {
  if (abbreviation.size() > kMaxLength || slots_.empty()) return false;
  const Key key = Fold(abbreviation);
  return slots_[Probe(key, HashOf(key))] != 0;
}

bool AbbreviationSet::Add(std::u16string_view abbreviation) {
  if (abbreviation.size() > kMaxLength)
    throw Error("Abbreviation '" + U16ToUtf8(abbreviation) + "' is longer than " + std::to_string(kMaxLength) +
                " characters");
  if (keys_.size() == kPositionMask) throw Error("Too many abbreviations to tell apart");
  if ((keys_.size() + 1) * 2 > slots_.size()) Grow();
  const Key key = Fold(abbreviation);
  const std::uint64_t hash = HashOf(key);
  const std::size_t slot = Probe(key, hash);
  if (slots_[slot] != 0) return false;
  keys_.push_back(key);
  slots_[slot] = TagOf(hash) | static_cast<std::uint32_t>(keys_.size());
  return true;
}

}  // namespace ludaro
