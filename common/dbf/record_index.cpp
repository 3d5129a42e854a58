#include "common/dbf/record_index.h"

#include <algorithm>
#include <utility>

namespace ludaro::dbf {

void OrderedIndex::Insert(std::string key, std::uint32_t row) { entries_.emplace(std::move(key), row); }

void OrderedIndex::Erase(const std::string& key, std::uint32_t row) { entries_.erase({key, row}); }

std::optional<std::uint32_t> OrderedIndex::First() const {
  if (entries_.empty()) return std::nullopt;
  return entries_.begin()->second;
}

std::optional<std::uint32_t> OrderedIndex::Next(const std::string& key, std::uint32_t row) const {
  auto it = entries_.upper_bound({key, row});
  if (it == entries_.end()) return std::nullopt;
  return it->second;
}

std::optional<std::uint32_t> OrderedIndex::Find(const std::string& key) const {
  auto it = entries_.lower_bound({key, 0});
  if (it == entries_.end() || it->first != key) return std::nullopt;
  return it->second;
}

std::uint32_t LookupIndex::TagOf(std::string_view key) {
  const std::uint64_t hash = std::hash<std::string_view>{}(key);
  return static_cast<std::uint32_t>(hash ^ (hash >> 32)) & ~kGroupFlag;
}

void LookupIndex::Reserve(std::size_t keys) {
  std::size_t wanted = 16;
  while (wanted < keys * 2) wanted *= 2;
  if (wanted <= slots_.size()) return;
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(wanted));
  for (const Slot& slot : old) {
    if (slot.row == kEmpty) continue;
    std::size_t i = Home(slot.tag);
    while (slots_[i].row != kEmpty) i = (i + 1) & Mask();
    slots_[i] = slot;
  }
}

void LookupIndex::Grow() { Reserve(std::max<std::size_t>(16, slots_.size())); }

std::size_t LookupIndex::Probe(std::string_view key, std::uint32_t tag) const {
  std::size_t i = Home(tag);
  for (; slots_[i].row != kEmpty; i = (i + 1) & Mask()) {
    if ((slots_[i].tag & ~kGroupFlag) != tag) continue;
    const std::uint32_t row = slots_[i].IsGroup() ? groups_[slots_[i].row].front() : slots_[i].row;
    if (keyOfRow_(row) == key) return i;
  }
  return i;
}

void LookupIndex::Insert(std::string_view key, std::uint32_t row) {
  if ((used_ + 1) * 2 > slots_.size()) Grow();
  const std::uint32_t tag = TagOf(key);
  Slot& slot = slots_[Probe(key, tag)];
  if (slot.row == kEmpty) {
    slot = {tag, row};
    ++used_;
    return;
  }
  if (!slot.IsGroup()) {
    std::uint32_t group;
    if (freeGroups_.empty()) {
      group = static_cast<std::uint32_t>(groups_.size());
      groups_.emplace_back();
    } else {
      group = freeGroups_.back();
      freeGroups_.pop_back();
    }
    groups_[group] = {slot.row};
    slot = {tag | kGroupFlag, group};
  }
  auto& rows = groups_[slot.row];
  if (rows.back() < row) {
    rows.push_back(row);  // appended rows arrive in order
  } else {
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
  }
}

void LookupIndex::Erase(std::string_view key, std::uint32_t row) {
  if (slots_.empty()) return;
  const std::size_t index = Probe(key, TagOf(key));
  Slot& slot = slots_[index];
  if (slot.row == kEmpty) return;
  if (!slot.IsGroup()) {
    if (slot.row == row) RemoveSlot(index);
    return;
  }
  auto& rows = groups_[slot.row];
  auto it = std::lower_bound(rows.begin(), rows.end(), row);
  if (it == rows.end() || *it != row) return;
  rows.erase(it);
  if (!rows.empty()) return;
  freeGroups_.push_back(slot.row);
  RemoveSlot(index);
}

// Backward-shift deletion: later slots of the same probe run move up so that
// every key stays reachable from its home slot without tombstones.
void LookupIndex::RemoveSlot(std::size_t index) {
  std::size_t hole = index;
  std::size_t next = (hole + 1) & Mask();
  while (slots_[next].row != kEmpty) {
    const std::size_t home = Home(slots_[next].tag);
    const bool homeAfterHole = hole <= next ? (home > hole && home <= next) : (home > hole || home <= next);
    if (!homeAfterHole) {
      slots_[hole] = slots_[next];
      hole = next;
    }
    next = (next + 1) & Mask();
  }
  slots_[hole] = Slot{};
  --used_;
}

LookupIndex::Rows LookupIndex::Find(std::string_view key) const {
  if (slots_.empty()) return {};
  const Slot& slot = slots_[Probe(key, TagOf(key))];
  if (slot.row == kEmpty) return {};
  if (!slot.IsGroup()) return {&slot.row, &slot.row + 1};
  const auto& rows = groups_[slot.row];
  return {rows.data(), rows.data() + rows.size()};
}

}  // namespace ludaro::dbf
