#pragma once

// In-memory indexes over the rows of an open table, so that walking in key
// order, finding a key and locating rows by field values each take
// logarithmic or constant time instead of a scan of the table.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ludaro::dbf {

// The rows of one index tag in key order; equal keys in row order. Keys are
// byte strings whose binary order is the tag's order.
class OrderedIndex {
 public:
  void Insert(std::string key, std::uint32_t row);
  void Erase(const std::string& key, std::uint32_t row);
  void Clear() { entries_.clear(); }

  std::optional<std::uint32_t> First() const;
  // The row after (key, row), which must be in the index.
  std::optional<std::uint32_t> Next(const std::string& key, std::uint32_t row) const;
  // The first row whose key equals `key`.
  std::optional<std::uint32_t> Find(const std::string& key) const;

 private:
  std::set<std::pair<std::string, std::uint32_t>> entries_;
};

// Rows by the exact values of a set of fields, for locating. An open-addressed
// table of key hashes, so that a lookup on a million rows touches one slot and
// the row it names rather than chasing per-key heap nodes. Keys are not kept:
// `keyOfRow` rebuilds a row's key from the stored row to confirm a hash match.
class LookupIndex {
 public:
  using KeyOfRow = std::function<std::string(std::uint32_t row)>;

  // The rows holding one key, ascending. Valid until the index next changes.
  class Rows {
   public:
    Rows() = default;
    Rows(const std::uint32_t* first, const std::uint32_t* last) : first_(first), last_(last) {}
    const std::uint32_t* begin() const { return first_; }
    const std::uint32_t* end() const { return last_; }
    bool empty() const { return first_ == last_; }
    std::uint32_t front() const { return *first_; }

   private:
    const std::uint32_t* first_ = nullptr;
    const std::uint32_t* last_ = nullptr;
  };

  explicit LookupIndex(KeyOfRow keyOfRow) : keyOfRow_(std::move(keyOfRow)) {}

  void Reserve(std::size_t keys);
  // `row` must already hold `key` in the table.
  void Insert(std::string_view key, std::uint32_t row);
  // `row` must still hold `key` in the table.
  void Erase(std::string_view key, std::uint32_t row);
  Rows Find(std::string_view key) const;

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
  static constexpr std::uint32_t kGroupFlag = 1u;

  // Eight bytes, so that a million keys fit in 16 MB and a probe of a large
  // index misses the cache and the TLB half as often.
  struct Slot {
    // 31 bits of the key's hash, which place the slot and let a probe pass
    // over other keys without reading their rows; the low bit tells that
    // `row` is an index into groups_.
    std::uint32_t tag = 0;
    std::uint32_t row = kEmpty;  // the key's only row, or its group of rows
    bool IsGroup() const { return (tag & kGroupFlag) != 0; }
  };

  static std::uint32_t TagOf(std::string_view key);
  std::size_t Home(std::uint32_t tag) const { return (tag >> 1) & Mask(); }
  std::size_t Mask() const { return slots_.size() - 1; }
  // The slot holding `key`, or the empty slot where it would go.
  std::size_t Probe(std::string_view key, std::uint32_t tag) const;
  void Grow();
  void RemoveSlot(std::size_t index);

  KeyOfRow keyOfRow_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
  std::vector<std::vector<std::uint32_t>> groups_;
  std::vector<std::uint32_t> freeGroups_;
};

}  // namespace ludaro::dbf
