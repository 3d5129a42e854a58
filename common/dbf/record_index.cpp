#include "common/dbf/record_index.h"

#include <algorithm>

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

void LookupIndex::Insert(const std::string& key, std::uint32_t row) {
  auto& rows = rows_[key];
  if (rows.empty() || rows.back() < row) {
    rows.push_back(row);  // appended rows arrive in order
  } else {
    rows.insert(std::lower_bound(rows.begin(), rows.end(), row), row);
  }
}

void LookupIndex::Erase(const std::string& key, std::uint32_t row) {
  auto found = rows_.find(key);
  if (found == rows_.end()) return;
  auto& rows = found->second;
  auto it = std::lower_bound(rows.begin(), rows.end(), row);
  if (it != rows.end() && *it == row) rows.erase(it);
  if (rows.empty()) rows_.erase(found);
}

const std::vector<std::uint32_t>& LookupIndex::Find(const std::string& key) const {
  static const std::vector<std::uint32_t> kNone;
  auto found = rows_.find(key);
  return found == rows_.end() ? kNone : found->second;
}

}  // namespace ludaro::dbf
