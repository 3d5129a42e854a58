#pragma once

// The rows a data grid shows, read from a table handle, and the grid's
// actions carried out through that handle. The grid's current row is the
// table's current row: moving in the grid moves the table, so a screen reads
// the user's choice straight from its table.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/dbf/table.h"

namespace ludaro::controls {

class GridRows {
 public:
  GridRows(dbf::Table& table, std::vector<std::string> fields);

  // Reads every row again in the table's order, without moving the table or
  // disturbing a row it is editing or appending.
  void Reload();

  // Stored rows, plus one while the table appends a row (shown last).
  std::size_t Count() const;
  std::u16string Text(std::size_t row, std::size_t column) const;
  bool IsNewRow(std::size_t row) const;
  // The grid row of the table's current row; none on an empty table.
  std::optional<std::size_t> Current() const;

  // Makes grid row `row` the table's current row. A row being edited is
  // posted, as leaving a row stores it; a new row the user left untouched is
  // dropped rather than stored blank.
  void MoveTo(std::size_t row);

  // Stores `text` in the column's field of grid row `row`: moves there, then
  // edit, set and post on the table. On a failure the row is not changed (an
  // edit the table had begun before stays begun), and the error goes to the
  // caller.
  void Store(std::size_t row, std::size_t column, std::u16string_view text);

  // Deletes grid row `row` from the table (a new row is simply dropped).
  void Delete(std::size_t row);

  dbf::Table& table() const { return table_; }

 private:
  std::u16string ReadCurrent(std::size_t column) const;
  bool NewRowUntouched() const;

  dbf::Table& table_;
  std::vector<std::string> fields_;
  std::vector<std::uint32_t> recNos_;
  std::vector<std::vector<std::u16string>> texts_;
};

}  // namespace ludaro::controls
