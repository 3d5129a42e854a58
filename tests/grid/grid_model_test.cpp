#include "app/controls/grid_model.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace ludaro::controls {
namespace {

// The level grid's shape: two fixed columns, then editable ones, with a
// read-only column between them for the cursor to stop at.
std::vector<GridColumn> LevelColumns() {
  return {{"CODCURSO", u"", 10, false, true},
          {"NOMECURSO", u"", 30, false, true},
          {"TURNO", u"", 1},
          {"NOTA", u"Nota", 4, true},
          {"NIVEL", u"", 5}};
}

TEST(GridModelTest, CursorStopsOnlyInEnterableColumnsAndEditsOnlyEditableOnes) {
  GridModel model(LevelColumns(), {});
  EXPECT_EQ(model.FirstEnterableColumn(), 2u);
  struct Case {
    std::size_t from;
    int direction;
    std::optional<std::size_t> expected;
  };
  for (const Case& c : {Case{2, +1, 3}, Case{3, +1, 4}, Case{4, +1, std::nullopt}, Case{2, -1, std::nullopt},
                        Case{4, -1, 3}, Case{0, +1, 2}}) {
    EXPECT_EQ(model.NextEnterableColumn(c.from, c.direction), c.expected) << c.from << " " << c.direction;
  }
  EXPECT_FALSE(model.CanEdit(0));
  EXPECT_FALSE(model.CanEnter(1));
  EXPECT_TRUE(model.CanEnter(3));
  EXPECT_FALSE(model.CanEdit(3));
  EXPECT_TRUE(model.CanEdit(4));
  EXPECT_FALSE(model.CanEdit(5));
  EXPECT_EQ(model.TitleOf(0), u"CODCURSO");
  EXPECT_EQ(model.TitleOf(3), u"Nota");

  GridModel allFixed({{"A", u"", 3, false, true}}, {});
  EXPECT_EQ(allFixed.FirstEnterableColumn(), std::nullopt);
}

TEST(GridModelTest, EnterMovesToTheNextEditableCellWhenTheStyleAsks) {
  GridStyle moving;
  moving.enterMovesToNextCell = true;
  GridModel model(LevelColumns(), moving);
  struct Case {
    CellPosition at;
    CellPosition expected;
  };
  for (const Case& c : {Case{{0, 2}, {0, 4}}, Case{{0, 4}, {1, 2}}, Case{{2, 4}, {2, 4}}, Case{{1, 3}, {1, 4}}}) {
    const CellPosition next = model.CellAfterEnter(c.at, 3);
    EXPECT_TRUE(next == c.expected) << c.at.row << "," << c.at.column << " -> " << next.row << "," << next.column;
  }
  GridModel staying(LevelColumns(), {});
  EXPECT_TRUE((staying.CellAfterEnter({0, 2}, 3) == CellPosition{0, 2}));
}

TEST(GridModelTest, ColumnWidthFitsItsCharactersOrItsTitle) {
  GridStyle twoLines;
  twoLines.titleLines = 2;
  GridModel model({{"TURNO", u"", 1}, {"NOMECURSO", u"", 30}}, {});
  GridModel wrapped({{"HORAINI", u"HORA INICIO CLASE", 5}}, twoLines);
  EXPECT_EQ(model.PixelWidth(1, 7, 60), 30 * 7 + 12);  // the characters are wider than the title
  EXPECT_EQ(model.PixelWidth(0, 7, 40), 40 + 12);      // a one-character column still shows "TURNO"
  EXPECT_EQ(wrapped.PixelWidth(0, 7, 101), 51 + 12);   // a title over two lines needs half its width
  // A column of typed codes holds its length in the widest letters; another
  // stays at the average.
  GridColumn nivel{"NIVEL", u"", 5};
  nivel.wholeCodes = true;
  GridModel coded({nivel, {"CODCURSO", u"", 5}}, {});
  EXPECT_EQ(coded.PixelWidth(0, 5, 20, 11), 5 * 11 + 12);
  EXPECT_EQ(coded.PixelWidth(1, 5, 20, 11), 5 * 5 + 12);
}

TEST(GridModelTest, CellColoursFollowHookThenHighlightThenAlternateRows) {
  GridStyle style;
  style.cellBackground = Colour::FromSystem(system_colour::kInfoBackground);
  style.alternateBackground = colours::kSilver;
  style.currentRowBackground = colours::kMaroon;
  style.currentRowText = colours::kWhite;
  GridModel model({{"A", u"", 3}}, style);
  const Colour buttonFace = Colour::FromSystem(system_colour::kButtonFace);

  EXPECT_EQ(model.ColoursOf(0, false, std::nullopt).background, style.cellBackground);
  EXPECT_EQ(model.ColoursOf(1, false, std::nullopt).background, colours::kSilver);
  EXPECT_EQ(model.ColoursOf(2, false, std::nullopt).background, style.cellBackground);
  EXPECT_EQ(model.ColoursOf(1, false, buttonFace).background, buttonFace);
  // A hooked cell keeps its colour on the current row; the others show the mark.
  EXPECT_EQ(model.ColoursOf(1, true, buttonFace).background, buttonFace);
  EXPECT_EQ(model.ColoursOf(1, true, std::nullopt).background, colours::kMaroon);
  EXPECT_EQ(model.ColoursOf(1, true, std::nullopt).text, colours::kWhite);

  GridModel plain({{"A", u"", 3}}, {});
  EXPECT_EQ(plain.ColoursOf(1, false, std::nullopt).background, plain.style().cellBackground);
}

TEST(GridModelTest, EditorAcceptsAsManyCharactersAsTheFieldHolds) {
  struct Case {
    dbf::FieldInfo field;
    int limit;
  };
  for (const Case& c : {Case{{"HORAINI", 'C', 5, 0}, 5}, Case{{"HORA", 'N', 11, 0}, 11}, Case{{"X", 'F', 20, 4}, 20},
                        Case{{"ACTIVO", 'L', 1, 0}, 1}, Case{{"FECHA", 'D', 8, 0}, 8}})
    EXPECT_EQ(EditLimit(c.field), c.limit) << c.field.name;
}

TEST(GridModelTest, ColumnsMustNameFieldsOfTheTable) {
  const std::vector<dbf::FieldInfo> fields = {{"HORA", 'N', 11, 0}, {"HORAINI", 'C', 5, 0}};
  EXPECT_EQ(test::MessageOf([&] { CheckColumnsAgainst({{"hora", u"", 7}, {"HORAINI", u"", 20}}, fields, "PLANTILLA.DBF"); }),
            "(no error)");
  EXPECT_EQ(test::MessageOf([&] { CheckColumnsAgainst({{"HORAFIN", u"", 5}}, fields, "PLANTILLA.DBF"); }),
            "PLANTILLA.DBF: the grid shows a field 'HORAFIN' that the table does not have");
}

}  // namespace
}  // namespace ludaro::controls
