#include "app/controls/grid_model.h"

#include <algorithm>
#include <cctype>

#include "common/error.h"

namespace ludaro::controls {
namespace {

constexpr int kCellMargin = 12;

bool SameName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace

GridModel::GridModel(std::vector<GridColumn> columns, GridStyle style)
    : columns_(std::move(columns)), style_(std::move(style)) {
  style_.titleLines = std::max(1, style_.titleLines);
}

std::u16string GridModel::TitleOf(std::size_t column) const {
  const GridColumn& c = columns_.at(column);
  if (!c.title.empty()) return c.title;
  return std::u16string(c.field.begin(), c.field.end());
}

bool GridModel::CanEnter(std::size_t column) const { return column < columns_.size() && !columns_[column].fixed; }

bool GridModel::CanEdit(std::size_t column) const { return CanEnter(column) && !columns_[column].readOnly; }

std::optional<std::size_t> GridModel::FirstEnterableColumn() const {
  for (std::size_t column = 0; column < columns_.size(); ++column)
    if (CanEnter(column)) return column;
  return std::nullopt;
}

std::optional<std::size_t> GridModel::NextEnterableColumn(std::size_t column, int direction) const {
  if (direction > 0) {
    for (std::size_t next = column + 1; next < columns_.size(); ++next)
      if (CanEnter(next)) return next;
  } else if (direction < 0) {
    for (std::size_t next = std::min(column, columns_.size()); next-- > 0;)
      if (CanEnter(next)) return next;
  }
  return std::nullopt;
}

CellPosition GridModel::CellAfterEnter(CellPosition at, std::size_t rowCount) const {
  if (!style_.enterMovesToNextCell) return at;
  for (std::size_t column = at.column + 1; column < columns_.size(); ++column)
    if (CanEdit(column)) return {at.row, column};
  if (at.row + 1 < rowCount)
    for (std::size_t column = 0; column < columns_.size(); ++column)
      if (CanEdit(column)) return {at.row + 1, column};
  return at;
}

int GridModel::PixelWidth(std::size_t column, int averageCharWidth, int titleTextWidth, int widestCharWidth) const {
  const int charWidth =
      columns_.at(column).wholeCodes ? std::max(averageCharWidth, widestCharWidth) : averageCharWidth;
  const int data = std::max(1, columns_.at(column).displayWidth) * std::max(1, charWidth);
  const int title = (std::max(0, titleTextWidth) + style_.titleLines - 1) / style_.titleLines;
  return std::max(data, title) + kCellMargin;
}

CellColours GridModel::ColoursOf(std::size_t row, bool currentRow, const std::optional<Colour>& fromHook) const {
  // A colour a screen gives a cell (the level grid's fixed columns in the
  // button face) holds on the current row too; the row's mark shows in the
  // other cells.
  if (fromHook) return {*fromHook, style_.cellText};
  if (currentRow) return {style_.currentRowBackground, style_.currentRowText};
  if (style_.alternateBackground && row % 2 == 1) return {*style_.alternateBackground, style_.cellText};
  return {style_.cellBackground, style_.cellText};
}

int EditLimit(const dbf::FieldInfo& field) {
  switch (field.type) {
    case 'L':
      return 1;
    case 'D':
      return 8;
    default:
      return std::max(1, field.width);
  }
}

void CheckColumnsAgainst(const std::vector<GridColumn>& columns, const std::vector<dbf::FieldInfo>& fields,
                         const std::string& tableName) {
  for (const auto& column : columns) {
    const bool known = std::any_of(fields.begin(), fields.end(),
                                   [&](const dbf::FieldInfo& field) { return SameName(field.name, column.field); });
    if (!known) throw Error(tableName + ": the grid shows a field '" + column.field + "' that the table does not have");
  }
}

}  // namespace ludaro::controls
