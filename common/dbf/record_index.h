#pragma once

// In-memory indexes over the rows of an open table, so that walking in key
// order, finding a key and locating rows by field values each take
// logarithmic or constant time instead of a scan of the table.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
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

// Rows by the exact values of a set of fields, for locating: each key maps to
// its rows in ascending row order.
class LookupIndex {
 public:
  void Insert(const std::string& key, std::uint32_t row);
  void Erase(const std::string& key, std::uint32_t row);
  // Rows holding `key`, ascending; empty when none.
  const std::vector<std::uint32_t>& Find(const std::string& key) const;

 private:
  std::unordered_map<std::string, std::vector<std::uint32_t>> rows_;
};

}  // namespace ludaro::dbf
