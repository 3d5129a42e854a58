#include "app/controls/grid_rows.h"

#include <algorithm>

#include "common/error.h"

namespace ludaro::controls {

GridRows::GridRows(dbf::Table& table, std::vector<std::string> fields) : table_(table), fields_(std::move(fields)) {}

void GridRows::Reload() {
  recNos_.clear();
  texts_.clear();
  if (!table_.Active()) return;
  recNos_ = table_.RecNosInOrder();
  texts_.reserve(recNos_.size());
  for (std::uint32_t recNo : recNos_) {
    std::vector<std::u16string> row;
    row.reserve(fields_.size());
    for (const auto& field : fields_) row.push_back(table_.StringAt(recNo, field));
    texts_.push_back(std::move(row));
  }
}

std::size_t GridRows::Count() const {
  const bool appending = table_.Active() && table_.state() == dbf::Table::State::Insert;
  return recNos_.size() + (appending ? 1 : 0);
}

bool GridRows::IsNewRow(std::size_t row) const { return row == recNos_.size() && row < Count(); }

std::u16string GridRows::Text(std::size_t row, std::size_t column) const {
  if (column >= fields_.size() || row >= Count()) return {};
  // The row the table is working on shows what it holds now, typed or not.
  if (IsNewRow(row)) return ReadCurrent(column);
  if (table_.state() == dbf::Table::State::Edit && recNos_[row] == table_.RecNo()) return ReadCurrent(column);
  return texts_[row][column];
}

std::u16string GridRows::ReadCurrent(std::size_t column) const { return table_.AsString(fields_[column]); }

std::optional<std::size_t> GridRows::Current() const {
  if (!table_.Active()) return std::nullopt;
  if (table_.state() == dbf::Table::State::Insert) return recNos_.size();
  const auto found = std::find(recNos_.begin(), recNos_.end(), table_.RecNo());
  if (found == recNos_.end()) return std::nullopt;
  return static_cast<std::size_t>(found - recNos_.begin());
}

bool GridRows::NewRowUntouched() const {
  return std::all_of(fields_.begin(), fields_.end(), [&](const std::string& field) { return table_.AsString(field).empty(); });
}

void GridRows::MoveTo(std::size_t row) {
  if (row >= Count()) throw Error(table_.path().string() + ": the grid has no row " + std::to_string(row + 1));
  if (IsNewRow(row)) return;
  if (table_.state() == dbf::Table::State::Insert && NewRowUntouched()) table_.Cancel();
  const bool wasAppending = table_.state() == dbf::Table::State::Insert;
  const std::uint32_t target = recNos_[row];
  if (!wasAppending && target == table_.RecNo()) return;
  table_.GoToRecord(target);
  if (wasAppending) Reload();
}

void GridRows::Store(std::size_t row, std::size_t column, std::u16string_view text) {
  if (column >= fields_.size()) throw Error(table_.path().string() + ": the grid has no column " + std::to_string(column + 1));
  MoveTo(row);
  const bool appending = table_.state() == dbf::Table::State::Insert;
  const bool startedEdit = !table_.Editing();
  table_.Edit();
  try {
    table_.SetString(fields_[column], text);
    table_.Post();
  } catch (...) {
    if (startedEdit) table_.Cancel();
    throw;
  }
  if (appending || table_.RecordCount() != recNos_.size()) {
    Reload();
    return;
  }
  const auto at = std::find(recNos_.begin(), recNos_.end(), table_.RecNo());
  if (at == recNos_.end()) {
    Reload();
    return;
  }
  auto& cached = texts_[static_cast<std::size_t>(at - recNos_.begin())];
  for (std::size_t i = 0; i < fields_.size(); ++i) cached[i] = table_.AsString(fields_[i]);
  // An indexed field may have moved the row within the order.
  if (recNos_ != table_.RecNosInOrder()) Reload();
}

void GridRows::Delete(std::size_t row) {
  if (IsNewRow(row)) {
    table_.Cancel();
    return;
  }
  MoveTo(row);
  table_.Delete();
  Reload();
}

}  // namespace ludaro::controls
