#include "app/controls/grid_rows.h"

#include <gtest/gtest.h>

#include "common/dbf/table.h"
#include "tests/test_support.h"

namespace ludaro::controls {
namespace {

using dbf::FieldDef;
using dbf::Table;
using test::TempDir;

// The level coding's table, small: code (indexed), name, and a level typed in
// the grid.
class GridRowsTest : public ::testing::Test {
 protected:
  TempDir dir_;

  void SetUp() override {
    Table table(dir_.path(), "CURSOS");
    table.Create({{FieldDef::Text("CODCURSO", 10), FieldDef::Text("NIVEL", 5), FieldDef::Integer("HORA")}, {"CODCURSO"}});
  }

  void AddRows(const std::vector<std::u16string>& codes) {
    Table table(dir_.path(), "CURSOS");
    table.Open();
    for (const auto& code : codes) {
      table.Append();
      table.SetString("CODCURSO", code);
      table.Post();
    }
    table.Close();
  }

  std::unique_ptr<Table> OpenInCodeOrder() {
    auto table = std::make_unique<Table>(dir_.path(), "CURSOS");
    table->SetIndexName("CODCURSO");
    table->Open();
    table->First();
    return table;
  }

  static std::vector<std::u16string> Column(const GridRows& rows, std::size_t column) {
    std::vector<std::u16string> texts;
    for (std::size_t row = 0; row < rows.Count(); ++row) texts.push_back(rows.Text(row, column));
    return texts;
  }

  std::vector<std::u16string> StoredLevels() {
    Table table(dir_.path(), "CURSOS");
    table.SetIndexName("CODCURSO");
    table.Open();
    std::vector<std::u16string> levels;
    for (table.First(); !table.Eof(); table.Next()) levels.push_back(table.AsString("CODCURSO") + u"=" + table.AsString("NIVEL"));
    return levels;
  }
};

TEST_F(GridRowsTest, MovingInTheGridMovesTheTable) {
  AddRows({u"C3", u"A1", u"B2"});
  auto table = OpenInCodeOrder();
  GridRows rows(*table, {"CODCURSO", "NIVEL"});
  rows.Reload();
  EXPECT_EQ(Column(rows, 0), (std::vector<std::u16string>{u"A1", u"B2", u"C3"}));
  EXPECT_EQ(rows.Current(), 0u);

  rows.MoveTo(2);
  EXPECT_EQ(table->AsString("CODCURSO"), u"C3");
  EXPECT_EQ(rows.Current(), 2u);

  table->First();  // the screen moves the table: the grid follows
  EXPECT_EQ(rows.Current(), 0u);
  EXPECT_NE(test::MessageOf([&] { rows.MoveTo(3); }), "(no error)");
}

TEST_F(GridRowsTest, StoringACellWritesThroughTheTableAndKeepsTheOrder) {
  AddRows({u"A1", u"B2"});
  auto table = OpenInCodeOrder();
  GridRows rows(*table, {"CODCURSO", "NIVEL"});
  rows.Reload();

  rows.Store(1, 1, u"ESO");
  EXPECT_FALSE(table->Editing());
  EXPECT_EQ(rows.Text(1, 1), u"ESO");
  EXPECT_EQ(StoredLevels(), (std::vector<std::u16string>{u"A1=", u"B2=ESO"}));

  // A new code sorts the row elsewhere; the grid shows the new order and
  // stays on the row it changed.
  rows.Store(0, 0, u"Z9");
  EXPECT_EQ(Column(rows, 0), (std::vector<std::u16string>{u"B2", u"Z9"}));
  EXPECT_EQ(rows.Current(), 1u);
}

TEST_F(GridRowsTest, AValueTheFieldRefusesChangesNothing) {
  AddRows({u"A1"});
  auto table = OpenInCodeOrder();
  GridRows rows(*table, {"CODCURSO", "HORA"});
  rows.Reload();
  EXPECT_NE(test::MessageOf([&] { rows.Store(0, 1, u"las ocho"); }).find("HORA"), std::string::npos);
  EXPECT_FALSE(table->Editing());
  EXPECT_EQ(rows.Text(0, 1), u"");

  // An edit the screen had begun stays begun, with what it held.
  table->Edit();
  table->SetString("CODCURSO", u"A2");
  EXPECT_NE(test::MessageOf([&] { rows.Store(0, 1, u"x"); }), "(no error)");
  EXPECT_EQ(table->state(), Table::State::Edit);
  EXPECT_EQ(rows.Text(0, 0), u"A2");
}

TEST_F(GridRowsTest, ANewRowOfAnEmptyTableIsShownAndStoredWhenTyped) {
  auto table = OpenInCodeOrder();
  table->Edit();  // as a screen does when the grid gets the focus: a blank new row
  GridRows rows(*table, {"CODCURSO", "NIVEL"});
  rows.Reload();
  ASSERT_EQ(rows.Count(), 1u);
  EXPECT_TRUE(rows.IsNewRow(0));
  EXPECT_EQ(rows.Current(), 0u);
  EXPECT_EQ(table->RecordCount(), 0u);

  rows.Store(0, 1, u"BAC");
  EXPECT_EQ(table->RecordCount(), 1u);
  EXPECT_EQ(rows.Count(), 1u);
  EXPECT_FALSE(rows.IsNewRow(0));
  EXPECT_EQ(StoredLevels(), (std::vector<std::u16string>{u"=BAC"}));
}

TEST_F(GridRowsTest, LeavingAnUntouchedNewRowDropsIt) {
  AddRows({u"A1", u"B2"});
  auto table = OpenInCodeOrder();
  table->Append();
  GridRows rows(*table, {"CODCURSO", "NIVEL"});
  rows.Reload();
  ASSERT_EQ(rows.Count(), 3u);
  rows.MoveTo(1);
  EXPECT_EQ(rows.Count(), 2u);
  EXPECT_EQ(table->RecordCount(), 2u);
  EXPECT_EQ(table->AsString("CODCURSO"), u"B2");

  table->Append();
  table->SetString("NIVEL", u"X");
  rows.MoveTo(0);  // a new row with something typed is stored on leaving
  EXPECT_EQ(table->RecordCount(), 3u);
  EXPECT_EQ(Column(rows, 1), (std::vector<std::u16string>{u"X", u"", u""}));
}

TEST_F(GridRowsTest, DeletingARowRemovesItFromTableAndGrid) {
  AddRows({u"A1", u"B2", u"C3"});
  auto table = OpenInCodeOrder();
  GridRows rows(*table, {"CODCURSO"});
  rows.Reload();
  rows.Delete(1);
  EXPECT_EQ(Column(rows, 0), (std::vector<std::u16string>{u"A1", u"C3"}));
  EXPECT_EQ(rows.Current(), 1u);
  EXPECT_EQ(StoredLevels(), (std::vector<std::u16string>{u"A1=", u"C3="}));
}

}  // namespace
}  // namespace ludaro::controls
