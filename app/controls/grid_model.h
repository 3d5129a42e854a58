#pragma once

// What a data grid shows and how it may be worked, free of any window: its
// columns, their widths, which cells can be entered and edited, where the
// cursor goes next, and the colours of each cell. The Win32 grid draws and
// moves by these rules; the unit tests check them without a display.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/dbf/table.h"

namespace ludaro::controls {

// A colour as a screen names it: a fixed RGB value or one of the system's
// colours (an index for GetSysColor), so the grid follows the user's scheme.
struct Colour {
  enum class Kind { Rgb, System };
  Kind kind = Kind::Rgb;
  std::uint32_t value = 0;  // 0x00BBGGRR for Rgb; the colour index for System

  static constexpr Colour FromRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return {Kind::Rgb, static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
                           static_cast<std::uint32_t>(blue) << 16};
  }
  static constexpr Colour FromSystem(int index) { return {Kind::System, static_cast<std::uint32_t>(index)}; }
  bool operator==(const Colour& other) const { return kind == other.kind && value == other.value; }
  bool operator!=(const Colour& other) const { return !(*this == other); }
};

// The system colour indexes the screens use (the values of GetSysColor's COLOR_*).
namespace system_colour {
constexpr int kWindow = 5;
constexpr int kWindowText = 8;
constexpr int kHighlight = 13;
constexpr int kHighlightText = 14;
constexpr int kButtonFace = 15;
constexpr int kButtonText = 18;
constexpr int kInfoText = 23;
constexpr int kInfoBackground = 24;
}  // namespace system_colour

namespace colours {
constexpr Colour kBlue = Colour::FromRgb(0, 0, 255);
constexpr Colour kCream = Colour::FromRgb(255, 251, 240);
constexpr Colour kMaroon = Colour::FromRgb(128, 0, 0);
constexpr Colour kSilver = Colour::FromRgb(192, 192, 192);
constexpr Colour kWhite = Colour::FromRgb(255, 255, 255);
constexpr Colour kBlack = Colour::FromRgb(0, 0, 0);
}  // namespace colours

struct GridColumn {
  std::string field;     // the table's field shown in the column
  std::u16string title;  // empty: the field's name
  int displayWidth = 10; // in average characters of the grid's font
  bool readOnly = false; // can be entered (the cursor stops there) but not edited
  bool fixed = false;    // stays at the left, can be neither entered nor edited
  // Holds codes the user types: its width is its display width in the widest
  // letters, so every code of that length shows whole.
  bool wholeCodes = false;
};

struct GridStyle {
  Colour cellBackground = Colour::FromSystem(system_colour::kWindow);
  std::optional<Colour> alternateBackground;  // every second row, when set
  Colour cellText = Colour::FromSystem(system_colour::kWindowText);
  Colour titleBackground = Colour::FromSystem(system_colour::kButtonFace);
  Colour titleText = Colour::FromSystem(system_colour::kButtonText);
  bool titleBold = false;
  int titleLines = 1;
  Colour currentRowBackground = Colour::FromSystem(system_colour::kHighlight);
  Colour currentRowText = Colour::FromSystem(system_colour::kHighlightText);
  bool horizontalScrollBar = true;
  // After Enter has stored a cell, the cursor moves to the next editable
  // cell (the next row's first one after the last column).
  bool enterMovesToNextCell = false;
  // Whether the Delete key deletes the current row (after a question).
  bool allowDelete = false;
};

struct CellPosition {
  std::size_t row = 0;
  std::size_t column = 0;
  bool operator==(const CellPosition& other) const { return row == other.row && column == other.column; }
};

struct CellColours {
  Colour background;
  Colour text;
};

class GridModel {
 public:
  GridModel() = default;
  GridModel(std::vector<GridColumn> columns, GridStyle style);

  const std::vector<GridColumn>& columns() const { return columns_; }
  const GridStyle& style() const { return style_; }

  std::u16string TitleOf(std::size_t column) const;
  bool CanEnter(std::size_t column) const;
  bool CanEdit(std::size_t column) const;

  // The first column the cursor may stand in, if any.
  std::optional<std::size_t> FirstEnterableColumn() const;
  // The nearest enterable column from `column` towards `direction` (+1 right,
  // -1 left); none at the edge.
  std::optional<std::size_t> NextEnterableColumn(std::size_t column, int direction) const;
  // Where the cursor goes after Enter has stored the cell `at`: the next
  // editable cell to the right, else the first editable cell of the next row;
  // it stays at `at` when there is none (or the style does not move).
  CellPosition CellAfterEnter(CellPosition at, std::size_t rowCount) const;

  // A column's width in pixels: its characters, or its title when that is
  // wider (spread over the title's lines), plus the cell's margins. A column
  // of whole codes counts its characters at `widestCharWidth` (the widest
  // letter or digit); others at the average width.
  int PixelWidth(std::size_t column, int averageCharWidth, int titleTextWidth, int widestCharWidth = 0) const;

  // The colours of a cell: the colour a screen's hook gave it; else the
  // current row's highlight; else the row's plain or alternate background.
  CellColours ColoursOf(std::size_t row, bool currentRow, const std::optional<Colour>& fromHook) const;

 private:
  std::vector<GridColumn> columns_;
  GridStyle style_;
};

// The most characters a cell editor of this field accepts, so that what the
// user types is what the table keeps.
int EditLimit(const dbf::FieldInfo& field);

// Fails with an error naming the table when a column shows no field of it.
void CheckColumnsAgainst(const std::vector<GridColumn>& columns, const std::vector<dbf::FieldInfo>& fields,
                         const std::string& tableName);

}  // namespace ludaro::controls
