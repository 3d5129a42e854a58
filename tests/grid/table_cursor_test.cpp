// The table operations a grid needs beyond walking: row numbers, jumping to a
// row, reading rows without moving, and deleting.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dbf/table.h"
#include "tests/test_support.h"

namespace ludaro::dbf {
namespace {

using test::TempDir;

class TableCursorTest : public ::testing::Test {
 protected:
  TempDir dir_;

  // Rows stored as B, C, A; the CODE index orders them A, B, C.
  void CreateThreeRows() {
    Table table(dir_.path(), "CODES");
    table.Create({{FieldDef::Text("CODE", 4), FieldDef::Integer("N")}, {"CODE"}});
    table.Open();
    for (auto [code, n] : std::vector<std::pair<std::u16string, int>>{{u"B", 1}, {u"C", 2}, {u"A", 3}}) {
      table.Append();
      table.SetString("CODE", code);
      table.SetInteger("N", n);
      table.Post();
    }
    table.Close();
  }

  std::vector<std::u16string> Codes(Table& table) {
    std::vector<std::u16string> codes;
    for (std::uint32_t recNo : table.RecNosInOrder()) codes.push_back(table.StringAt(recNo, "CODE"));
    return codes;
  }
};

TEST_F(TableCursorTest, ReadsRowsInIndexOrderWithoutMovingOrDisturbingAnEdit) {
  CreateThreeRows();
  Table table(dir_.path(), "CODES");
  table.SetIndexName("CODE");
  table.Open();
  table.First();
  table.Next();  // B, record 1
  table.Edit();
  table.SetString("CODE", u"Z");

  EXPECT_EQ(table.RecNosInOrder(), (std::vector<std::uint32_t>{3, 1, 2}));
  EXPECT_EQ(Codes(table), (std::vector<std::u16string>{u"A", u"B", u"C"}));
  EXPECT_EQ(table.StringAt(2, "N"), u"2");
  EXPECT_EQ(table.state(), Table::State::Edit);
  EXPECT_EQ(table.RecNo(), 1u);
  EXPECT_EQ(table.AsString("CODE"), u"Z");
  EXPECT_NE(test::MessageOf([&] { table.StringAt(4, "CODE"); }), "(no error)");
}

TEST_F(TableCursorTest, GoToRecordPostsTheRowLeftAndRefusesMissingRows) {
  CreateThreeRows();
  Table table(dir_.path(), "CODES");
  table.Open();
  table.GoToRecord(2);
  table.Edit();
  table.SetString("CODE", u"CC");
  table.GoToRecord(3);
  EXPECT_EQ(table.AsString("CODE"), u"A");
  EXPECT_EQ(table.StringAt(2, "CODE"), u"CC");

  for (std::uint32_t missing : {0u, 4u}) EXPECT_NE(test::MessageOf([&] { table.GoToRecord(missing); }), "(no error)");
  table.GoToRecord(1);
  table.Delete();
  EXPECT_NE(test::MessageOf([&] { table.GoToRecord(1); }).find("deleted"), std::string::npos);
}

TEST_F(TableCursorTest, DeleteMovesToTheNextRowInOrderOrTheOneBeforeAtTheEnd) {
  CreateThreeRows();
  Table table(dir_.path(), "CODES");
  table.SetIndexName("CODE");
  table.Open();
  table.First();
  table.Next();  // B, the middle one in CODE order
  table.Delete();
  EXPECT_EQ(table.AsString("CODE"), u"C");
  table.Delete();  // C was the last: A, before it, becomes current
  EXPECT_EQ(table.AsString("CODE"), u"A");
  EXPECT_FALSE(table.Eof());
  table.Delete();
  EXPECT_EQ(table.RecNo(), 0u);
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecordCount(), 0u);
  EXPECT_NE(test::MessageOf([&] { table.Delete(); }), "(no error)");
}

TEST_F(TableCursorTest, DeletedRowIsFlaggedInTheFileAndGoneAfterReopening) {
  CreateThreeRows();
  {
    Table table(dir_.path(), "CODES");
    table.Open();
    table.GoToRecord(2);
    table.Delete();
    EXPECT_FALSE(table.Locate("CODE", {std::u16string(u"C")}));
    table.Close();
  }
  const std::string bytes = test::ReadBytes(dir_ / "CODES.DBF");
  const std::uint32_t headerLength = static_cast<unsigned char>(bytes[8]) | static_cast<unsigned char>(bytes[9]) << 8;
  const std::uint32_t recordLength = static_cast<unsigned char>(bytes[10]) | static_cast<unsigned char>(bytes[11]) << 8;
  EXPECT_EQ(bytes[headerLength], ' ');
  EXPECT_EQ(bytes[headerLength + recordLength], '*');

  Table table(dir_.path(), "CODES");
  table.SetIndexName("CODE");
  table.Open();
  EXPECT_EQ(Codes(table), (std::vector<std::u16string>{u"A", u"B"}));
  EXPECT_FALSE(table.FindKey({std::u16string(u"C")}));
  EXPECT_EQ(table.RecordCount(), 2u);
}

TEST_F(TableCursorTest, DeleteDiscardsAPendingNewRowOrEdit) {
  CreateThreeRows();
  Table table(dir_.path(), "CODES");
  table.Open();
  table.GoToRecord(1);
  table.Append();
  table.SetString("CODE", u"NEW");
  table.Delete();
  EXPECT_EQ(table.RecordCount(), 3u);
  EXPECT_FALSE(table.Editing());
  EXPECT_EQ(table.AsString("CODE"), u"B");

  table.Edit();
  table.SetString("CODE", u"X");
  table.Delete();
  EXPECT_EQ(table.RecordCount(), 2u);
  EXPECT_FALSE(table.Locate("CODE", {std::u16string(u"X")}));
  EXPECT_EQ(table.AsString("CODE"), u"C");
}

}  // namespace
}  // namespace ludaro::dbf
