#include "import/first_names.h"

#include <functional>
#include <limits>

namespace ludaro {
namespace {

std::uint32_t NameHash(std::u16string_view name) {
  const std::uint64_t hash = std::hash<std::u16string_view>{}(name);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// Lines past 2^32 (never met) all count as the last one.
std::uint32_t LineOf(long line) {
  return line < 0 ? 0
                  : static_cast<std::uint32_t>(std::min<unsigned long>(static_cast<unsigned long>(line),
                                                                        std::numeric_limits<std::uint32_t>::max()));
}

// 64 bits even where size_t has 32, and never 0, which marks an empty slot.
std::uint64_t CodeHash(std::u16string_view code) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char16_t c : code) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ull;
  }
  return hash == 0 ? 1 : hash;
}

}  // namespace

FirstNames::Seen FirstNames::See(std::u16string_view code, std::u16string_view name, long line) {
  const std::size_t before = codes_.Size();
  const std::uint32_t number = codes_.Add(code);
  const std::uint32_t hash = NameHash(name);
  if (codes_.Size() != before) {
    seen_.push_back(std::uint64_t{hash} << 32 | LineOf(line));
    return {number, true, 0};
  }
  const std::uint64_t first = seen_[number];
  return {number, false, static_cast<std::uint32_t>(first >> 32) == hash ? 0 : FirstLine(number)};
}

long HashedFirstNames::See(std::u16string_view code, std::u16string_view name, long line) {
  if (4 * (used_ + 1) > 3 * slots_.size()) Grow();
  const std::uint64_t key = CodeHash(code);
  const std::uint32_t hash = NameHash(name);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(key ^ (key >> 32)) & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.code == key) return slot.name == hash ? 0 : static_cast<long>(slot.line);
    if (slot.code == 0) {
      slot = {key, hash, LineOf(line)};
      ++used_;
      return 0;
    }
  }
}

void HashedFirstNames::Grow() {
  std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.code == 0) continue;
    std::size_t i = static_cast<std::size_t>(slot.code ^ (slot.code >> 32)) & mask;
    while (slots_[i].code != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

}  // namespace ludaro
