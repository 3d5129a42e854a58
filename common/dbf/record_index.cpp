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

namespace {

std::uint64_t HashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

void LookupIndex::Reserve(std::size_t keys) {
  std::size_t wanted = 16;
  while (wanted < keys * 2) wanted *= 2;
  if (wanted <= slots_.size()) return;
  std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(wanted));
  for (const Slot& slot : old) {
    if (slot.row == kEmpty) continue;
    std::size_t i = slot.hash & Mask();
    while (slots_[i].row != kEmpty) i = (i + 1) & Mask();
    slots_[i] = slot;
  }
}

void LookupIndex::Grow() { Reserve(std::max<std::size_t>(16, slots_.size())); }

std::size_t LookupIndex::Probe(std::string_view key, std::uint64_t hash) const {
  std::size_t i = hash & Mask();
  while (slots_[i].row != kEmpty) {
    if (slots_[i].hash == hash && keyOfRow_(slots_[i].row) == key) return i;
    i = (i + 1) & Mask();
  }
  return i;
}

void LookupIndex::Insert(std::string_view key, std::uint32_t row) {
  if ((used_ + 1) * 2 > slots_.size()) Grow();
  const std::uint64_t hash = HashOf(key);
  Slot& slot = slots_[Probe(key, hash)];
  if (slot.row == kEmpty) {
    slot = {hash, row, kNoGroup};
    ++used_;
    return;
  }
  if (slot.group == kNoGroup) {
    if (freeGroups_.empty()) {
      slot.group = static_cast<std::uint32_t>(groups_.size());
      groups_.emplace_back();
    } else {
      slot.group = freeGroups_.back();
      freeGroups_.pop_back();
    }
    groups_[slot.group] = {slot.row};
  }
  auto& rows = groups_[slot.group];
  if (rows.back() < row) {
    rows.push_back(row);  // appended rows arrive in order
  } else {
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
  }
  slot.row = rows.front();
}

void LookupIndex::Erase(std::string_view key, std::uint32_t row) {
  if (slots_.empty()) return;
  const std::size_t index = Probe(key, HashOf(key));
  Slot& slot = slots_[index];
  if (slot.row == kEmpty) return;
  if (slot.group == kNoGroup) {
    if (slot.row == row) RemoveSlot(index);
    return;
  }
  auto& rows = groups_[slot.group];
  auto it = std::lower_bound(rows.begin(), rows.end(), row);
  if (it == rows.end() || *it != row) return;
  rows.erase(it);
  if (!rows.empty()) {
    slot.row = rows.front();
    return;
  }
  freeGroups_.push_back(slot.group);
  RemoveSlot(index);
}

// Backward-shift deletion: later slots of the same probe run move up so that
// every key stays reachable from its home slot without tombstones.
void LookupIndex::RemoveSlot(std::size_t index) {
  std::size_t hole = index;
  std::size_t next = (hole + 1) & Mask();
  while (slots_[next].row != kEmpty) {
    const std::size_t home = slots_[next].hash & Mask();
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
  const Slot& slot = slots_[Probe(key, HashOf(key))];
  if (slot.row == kEmpty) return {};
  if (slot.group == kNoGroup) return {&slot.row, &slot.row + 1};
  const auto& rows = groups_[slot.group];
  return {rows.data(), rows.data() + rows.size()};
}

}  // namespace ludaro::dbf
