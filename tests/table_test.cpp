#include "common/dbf/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/dbf/mdx_file.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "tests/child_process.h"
#include "tests/test_support.h"

namespace ludaro::dbf {
namespace {

using test::TempDir;

// The courses table the import keeps: text, integer, float, logical, one tag.
TableDef CoursesDef() {
  return {{FieldDef::Text("CODCURSO", 8), FieldDef::Text("NOMBRE", 20), FieldDef::Integer("NIVEL"),
           FieldDef::Float("HORAS"), FieldDef::Logical("ACTIVO")},
          {"CODCURSO"}};
}

void AddCourse(Table& table, std::u16string code, std::u16string name, std::int64_t level, double hours, bool active) {
  table.Append();
  table.SetString("CODCURSO", code);
  table.SetString("NOMBRE", name);
  table.SetInteger("NIVEL", level);
  table.SetFloat("HORAS", hours);
  table.SetBoolean("ACTIVO", active);
  table.Post();
}

std::vector<std::u16string> Walk(Table& table, const char* field) {
  std::vector<std::u16string> seen;
  for (table.First(); !table.Eof(); table.Next()) seen.push_back(table.AsString(field));
  return seen;
}

class TableTest : public ::testing::Test {
 protected:
  TempDir dir_;

  void CreateCourses() {
    Table table(dir_.path(), "CURSOST.DBF");
    table.Create(CoursesDef());
  }
};

TEST_F(TableTest, StoresAndReadsBackEveryFieldType) {
  CreateCourses();
  {
    Table table(dir_.path(), "CURSOST");
    table.Open();
    AddCourse(table, u"1ESO", u"Educación Secundaria", 1, 4.5, true);
    AddCourse(table, u"2BAC", u"Bacharelato ñandú", -2, 0.25, false);
    table.Close();
  }
  Table table(dir_.path(), "cursost");
  table.Open();
  EXPECT_EQ(table.Level(), 4);
  ASSERT_EQ(table.RecordCount(), 2u);
  EXPECT_EQ(table.AsString("CODCURSO"), u"1ESO");
  EXPECT_EQ(table.AsString("nombre"), u"Educación Secundaria");
  EXPECT_EQ(table.AsInteger("NIVEL"), 1);
  EXPECT_EQ(table.AsFloat("HORAS"), 4.5);
  EXPECT_TRUE(table.AsBoolean("ACTIVO"));
  EXPECT_EQ(table.Value("NIVEL"), FieldValue(std::int64_t{1}));
  table.Next();
  EXPECT_EQ(table.AsString("NOMBRE"), u"Bacharelato ñandú");
  EXPECT_EQ(table.AsInteger("NIVEL"), -2);
  EXPECT_EQ(table.AsFloat("HORAS"), 0.25);
  EXPECT_FALSE(table.AsBoolean("ACTIVO"));
  table.Next();
  EXPECT_TRUE(table.Eof());
}

TEST_F(TableTest, CutsTextToWidthDropsTrailingBlanksAndReplacesForeignCharacters) {
  CreateCourses();
  Table table(dir_.path(), "CURSOST");
  table.Open();
  table.Append();
  table.SetString("CODCURSO", u"ABCDEFGHIJK");
  table.SetString("NOMBRE", u"  Lingua   ");
  table.Post();
  table.Append();
  table.SetString("NOMBRE", u"Ā€ 😀");  // outside cp1252, euro inside, one emoji
  table.Post();
  table.First();
  EXPECT_EQ(table.AsString("CODCURSO"), u"ABCDEFGH");
  EXPECT_EQ(table.AsString("NOMBRE"), u"  Lingua");
  table.Next();
  EXPECT_EQ(table.AsString("CODCURSO"), u"");
  EXPECT_EQ(table.AsString("NOMBRE"), u"?€ ?");
}

TEST_F(TableTest, ConvertsBetweenNumberTextAndInteger) {
  Table table(dir_.path(), "CONV");
  table.Create({{FieldDef::Text("TEXTO", 10), FieldDef::Float("REAL"), FieldDef::Integer("ENTERO")}, {}});
  table.Open();
  table.Append();
  table.Post();  // a row of blanks
  EXPECT_EQ(table.AsInteger("REAL"), 0);
  EXPECT_EQ(table.AsInteger("ENTERO"), 0);
  EXPECT_EQ(table.Value("REAL"), FieldValue(std::monostate{}));

  struct Case {
    double stored;
    std::int64_t asInteger;
  };
  for (const Case& c : {Case{2.5, 2}, Case{3.5, 4}, Case{-2.5, -2}, Case{2.4999, 2}, Case{0.5, 0}}) {
    table.Edit();
    table.SetFloat("REAL", c.stored);
    table.Post();
    EXPECT_EQ(table.AsInteger("REAL"), c.asInteger) << c.stored;
  }

  table.Edit();
  table.SetInteger("TEXTO", 1234);
  table.SetString("ENTERO", u"-17");
  table.Post();
  EXPECT_EQ(table.AsString("TEXTO"), u"1234");
  EXPECT_EQ(table.AsInteger("TEXTO"), 1234);
  EXPECT_EQ(table.AsInteger("ENTERO"), -17);

  for (const char16_t* notWhole : {u"12a", u"", u"1.5"}) {
    table.Edit();
    table.SetString("TEXTO", notWhole);
    table.Post();
    const std::string message = test::MessageOf([&] { table.AsInteger("TEXTO"); });
    EXPECT_NE(message.find("is not a valid integer value"), std::string::npos) << message;
    EXPECT_NE(message.find("TEXTO"), std::string::npos) << message;
  }
}

TEST_F(TableTest, RefusesValuesThatDoNotConvertOrFit) {
  Table table(dir_.path(), "CONV");
  table.Create({{FieldDef::Integer("ENTERO"), FieldDef::Logical("SINO")}, {}});
  table.Open();
  table.Append();
  EXPECT_NE(test::MessageOf([&] { table.SetString("ENTERO", u"doce"); }).find("'doce' is not a valid number"),
            std::string::npos);
  EXPECT_NE(test::MessageOf([&] { table.SetFloat("ENTERO", 1e12); }).find("does not fit"), std::string::npos);
  EXPECT_NE(test::MessageOf([&] { table.SetString("SINO", u"quizais"); }).find("not a valid logical"), std::string::npos);
  EXPECT_NE(test::MessageOf([&] { table.SetInteger("NOEXISTE", 1); }).find("field 'NOEXISTE' not found"),
            std::string::npos);
  table.Cancel();
  EXPECT_NE(test::MessageOf([&] { table.SetInteger("ENTERO", 1); }).find("no row is being edited"), std::string::npos);
}

TEST_F(TableTest, WalksInIndexOrderAndFindsKeys) {
  CreateCourses();
  Table table(dir_.path(), "CURSOST");
  table.Open();
  for (const char16_t* code : {u"4ESO", u"1ESO", u"3ESO", u"1BAC", u"1ESO", u"Ñ", u"a"}) AddCourse(table, code, code, 1, 1, true);
  table.SetIndexName("CODCURSO");
  // Binary order of the stored cp1252 bytes: digits < capitals < small letters < Ñ (0xD1).
  EXPECT_EQ(Walk(table, "CODCURSO"),
            (std::vector<std::u16string>{u"1BAC", u"1ESO", u"1ESO", u"3ESO", u"4ESO", u"a", u"Ñ"}));
  ASSERT_TRUE(table.FindKey({std::u16string(u"3ESO")}));
  EXPECT_EQ(table.AsString("CODCURSO"), u"3ESO");
  table.Next();
  EXPECT_EQ(table.AsString("CODCURSO"), u"4ESO");
  EXPECT_FALSE(table.FindKey({std::u16string(u"3es")}));
  EXPECT_EQ(table.AsString("CODCURSO"), u"4ESO") << "a failed search leaves the cursor";

  // A changed key moves the row within the order.
  ASSERT_TRUE(table.FindKey({std::u16string(u"4ESO")}));
  table.Edit();
  table.SetString("CODCURSO", u"0ESO");
  table.Post();
  EXPECT_EQ(Walk(table, "CODCURSO").front(), u"0ESO");
  table.Close();

  // The order survives in the index file, selected by tag or by field name.
  Table reopened(dir_.path(), "CURSOST");
  reopened.SetIndexName("codcurso");
  reopened.Open();
  EXPECT_EQ(Walk(reopened, "CODCURSO"),
            (std::vector<std::u16string>{u"0ESO", u"1BAC", u"1ESO", u"1ESO", u"3ESO", u"a", u"Ñ"}));
}

TEST_F(TableTest, OrdersNumericTagsByValue) {
  Table table(dir_.path(), "PLANTILLA");
  table.Create({{FieldDef::Integer("HORA"), FieldDef::Text("HORAINI", 5)}, {"HORA"}});
  table.SetIndexName("HORA");
  table.Open();
  for (std::int64_t hour : {10, 2, -1, 1, 30}) {
    table.Append();
    table.SetInteger("HORA", hour);
    table.Post();
  }
  std::vector<std::int64_t> hours;
  for (table.First(); !table.Eof(); table.Next()) hours.push_back(table.AsInteger("HORA"));
  EXPECT_EQ(hours, (std::vector<std::int64_t>{-1, 1, 2, 10, 30}));
  EXPECT_TRUE(table.FindKey({std::int64_t{10}}));
  EXPECT_TRUE(table.FindKey({std::u16string(u"2")}));
  EXPECT_FALSE(table.FindKey({std::int64_t{3}}));
}

TEST_F(TableTest, LocatesOnSeveralFieldsExactly) {
  Table table(dir_.path(), "GRUPOST");
  table.Create({{FieldDef::Text("CODGRUXADE", 10), FieldDef::Text("CURSO", 3), FieldDef::Integer("NUM"),
                 FieldDef::Logical("SUB")},
                {}});
  table.Open();
  struct Row {
    const char16_t* group;
    const char16_t* course;
    std::int64_t number;
    bool sub;
  };
  for (const Row& row : {Row{u"G1", u"1", 7, false}, Row{u"G2", u"1", 8, true}, Row{u"G1", u"2", 9, true},
                         Row{u"g1", u"2", 10, false}, Row{u"G1", u"2", 11, true}}) {
    table.Append();
    table.SetString("CODGRUXADE", row.group);
    table.SetString("CURSO", row.course);
    table.SetInteger("NUM", row.number);
    table.SetBoolean("SUB", row.sub);
    table.Post();
  }
  struct Query {
    const char* fields;
    std::vector<FieldValue> values;
    std::int64_t expectedNum;  // 0: no match
  };
  const Query queries[] = {
      {"CODGRUXADE", {std::u16string(u"G1")}, 7},
      {"CODGRUXADE;CURSO", {std::u16string(u"G1"), std::u16string(u"2")}, 9},
      {"CODGRUXADE;CURSO", {std::u16string(u"G1"), std::int64_t{2}}, 9},  // whole number vs text by its digits
      {"CODGRUXADE", {std::u16string(u"g1")}, 10},                        // case-sensitive
      {"CODGRUXADE", {std::u16string(u"G")}, 0},                          // whole value, no prefix match
      {"CODGRUXADE", {std::u16string(u"G1 ")}, 7},                        // stored blanks do not count
      {"NUM", {std::int64_t{11}}, 11},
      {"NUM", {10.0}, 10},
      {"SUB;CURSO", {true, std::u16string(u"2")}, 9},
      {"SUB;CURSO", {false, std::u16string(u"1")}, 7},
      {"CODGRUXADE;SUB", {std::u16string(u"G2"), false}, 0},
  };
  for (const Query& q : queries) {
    table.First();
    const bool found = table.Locate(q.fields, q.values);
    EXPECT_EQ(found, q.expectedNum != 0) << q.fields;
    if (found) {
      EXPECT_EQ(table.AsInteger("NUM"), q.expectedNum) << q.fields;
    }
  }

  // The lookup follows edits and appends.
  ASSERT_TRUE(table.Locate("NUM", {std::int64_t{7}}));
  table.Edit();
  table.SetString("CODGRUXADE", u"G9");
  table.Post();
  EXPECT_TRUE(table.Locate("CODGRUXADE", {std::u16string(u"G1")}));
  EXPECT_EQ(table.AsInteger("NUM"), 9);
  table.Append();
  table.SetString("CODGRUXADE", u"NEW");
  table.Post();
  EXPECT_TRUE(table.Locate("CODGRUXADE", {std::u16string(u"NEW")}));

  EXPECT_NE(test::MessageOf([&] { table.Locate("CODGRUXADE;CURSO", {std::u16string(u"G1")}); }).find("gives 1 values"),
            std::string::npos);
  EXPECT_NE(test::MessageOf([&] { table.Locate("NOPE", {std::u16string(u"x")}); }).find("'NOPE' not found"),
            std::string::npos);
}

TEST_F(TableTest, LocateFindsTheFirstMatchInIndexOrderWhenAnIndexIsSelected) {
  CreateCourses();
  Table table(dir_.path(), "CURSOST");
  table.SetIndexName("CODCURSO");
  table.Open();
  AddCourse(table, u"B", u"same", 1, 1, true);
  AddCourse(table, u"A", u"same", 2, 1, true);
  ASSERT_TRUE(table.Locate("NOMBRE", {std::u16string(u"same")}));
  EXPECT_EQ(table.AsString("CODCURSO"), u"A");
}

TEST_F(TableTest, EditOnAnEmptyTableStartsANewRow) {
  CreateCourses();
  Table table(dir_.path(), "CURSOST");
  table.Open();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.AsString("CODCURSO"), u"") << "an empty table reads blanks";
  table.Edit();
  EXPECT_EQ(table.state(), Table::State::Insert);
  table.SetString("CODCURSO", u"X");
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1u);
}

TEST_F(TableTest, ARowNotPostedIsNotStoredAndPostedRowsSurviveWithoutClose) {
  CreateCourses();
  {
    Table table(dir_.path(), "CURSOST");
    table.Open();
    AddCourse(table, u"KEEP", u"posted", 1, 1, true);
    table.Append();
    table.SetString("CODCURSO", u"LOST");
    // Another handle sees the posted row while this one is still open.
    Table reader(dir_.path(), "CURSOST");
    reader.Open();
    EXPECT_EQ(reader.RecordCount(), 1u);
    EXPECT_EQ(reader.AsString("CODCURSO"), u"KEEP");
  }  // closed with a row begun but not posted
  Table table(dir_.path(), "CURSOST");
  table.Open();
  EXPECT_EQ(Walk(table, "CODCURSO"), std::vector<std::u16string>{u"KEEP"});
}

TEST_F(TableTest, NavigationPostsARowBeingEdited) {
  CreateCourses();
  Table table(dir_.path(), "CURSOST");
  table.Open();
  AddCourse(table, u"A", u"one", 1, 1, true);
  table.Append();
  table.SetString("CODCURSO", u"B");
  table.First();
  EXPECT_EQ(table.RecordCount(), 2u);
}

TEST_F(TableTest, ExclusiveUseIsRefusedWhileAnotherHandleHoldsTheTable) {
  CreateCourses();
  Table shared(dir_.path(), "CURSOST");
  shared.Open();
  Table exclusive(dir_.path(), "CURSOST");
  exclusive.SetExclusive(true);
  EXPECT_NE(test::MessageOf([&] { exclusive.Open(); }).find("in use"), std::string::npos);
  EXPECT_FALSE(exclusive.Active());
  shared.Close();
  exclusive.Open();
  Table second(dir_.path(), "CURSOST");
  EXPECT_NE(test::MessageOf([&] { second.Open(); }).find("in use"), std::string::npos);
  EXPECT_NE(test::MessageOf([&] { Table(dir_.path(), "CURSOST").Create(CoursesDef()); }).find("in use"),
            std::string::npos);
}

TEST_F(TableTest, ExclusiveUseIsRefusedWhileAnotherProcessHoldsTheTable) {
  CreateCourses();
  {
    test::ChildProcess holder(platform::ProgramFolder() / LUDARO_LOCK_HOLDER);
    holder.WriteLine((dir_ / "CURSOST.DBF").u8string());
    ASSERT_EQ(holder.ReadLine(), "locked");
    Table table(dir_.path(), "CURSOST");
    table.SetExclusive(true);
    EXPECT_NE(test::MessageOf([&] { table.Open(); }).find("in use"), std::string::npos);
    EXPECT_NE(test::MessageOf([&] { DeleteTable(dir_.path(), "CURSOST"); }).find("in use"), std::string::npos);
  }
  Table table(dir_.path(), "CURSOST");
  table.SetExclusive(true);
  table.Open();
  {
    test::ChildProcess holder(platform::ProgramFolder() / LUDARO_LOCK_HOLDER);
    holder.WriteLine((dir_ / "CURSOST.DBF").u8string());
    EXPECT_EQ(holder.ReadLine(), "in use");
  }
}

TEST_F(TableTest, CreateReplacesTheTableAndItsIndexFile) {
  CreateCourses();
  {
    Table table(dir_.path(), "CURSOST");
    table.Open();
    AddCourse(table, u"OLD", u"old", 1, 1, true);
  }
  Table table(dir_.path(), "CURSOST");
  table.Create({{FieldDef::Text("OTRO", 4)}, {}});
  EXPECT_FALSE(std::filesystem::exists(dir_ / "CURSOST.MDX"));
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0u);
  ASSERT_EQ(table.Fields().size(), 1u);
  EXPECT_EQ(table.Fields()[0].name, "OTRO");
}

// A table opened for replacement keeps its files as they were until Close,
// and for good when the change is discarded or the handle simply goes; the
// copy beside it goes too.
TEST_F(TableTest, AReplacementReachesTheTableOnlyOnClose) {
  enum class End { Close, Discard, HandleGone };
  const struct {
    const char* name;
    bool tableExists;
    End end;
    std::vector<std::u16string> codes;  // in CODCURSO order afterwards; none: no table
  } cases[] = {
      {"closed", true, End::Close, {u"1ESO", u"2BAC", u"3FP"}},
      {"discarded", true, End::Discard, {u"2BAC", u"3FP"}},
      {"handle gone", true, End::HandleGone, {u"2BAC", u"3FP"}},
      {"new table, closed", false, End::Close, {u"1ESO"}},
      {"new table, discarded", false, End::Discard, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    if (c.tableExists) {
      Table table(dir.path(), "CURSOST2");
      table.Create(CoursesDef());
      table.Open();
      AddCourse(table, u"3FP", u"old", 3, 1, true);
      AddCourse(table, u"2BAC", u"old", 2, 1, true);
    } else {
      // An index left behind by a table deleted earlier.
      test::WriteBytes(dir / "CURSOST2.MDX", "stale");
    }
    const std::string before = c.tableExists ? test::ReadBytes(dir / "CURSOST2.DBF") : "";
    {
      Table table(dir.path(), "CURSOST2");
      table.OpenForReplacement(CoursesDef());
      AddCourse(table, u"1ESO", u"new", 1, 1, true);
      EXPECT_EQ(before.empty() ? "" : test::ReadBytes(dir / "CURSOST2.DBF"), before);
      if (c.end == End::Close) table.Close();
      if (c.end == End::Discard) table.Discard();
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    if (!c.tableExists && c.codes.empty()) {
      EXPECT_EQ(names, (std::vector<std::string>{"CURSOST2.MDX"}));
      continue;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CURSOST2.DBF", "CURSOST2.MDX"}));
    Table table(dir.path(), "CURSOST2");
    table.SetIndexName("CODCURSO");
    table.Open();
    EXPECT_EQ(Walk(table, "CODCURSO"), c.codes);
    // The index beside the table, as other programs read it, holds every row.
    EXPECT_EQ(ReadMdxRecordOrder(dir / "CURSOST2.MDX", "CODCURSO").size(), c.codes.size());
  }
}

TEST_F(TableTest, LongFieldNamesMakeALevel7Table) {
  Table table(dir_.path(), "CONVOCAXADE");
  table.Create({{FieldDef::Text("CONVOCATORIA", 10), FieldDef::Text("NOMEABREVGRUPXADE", 30)}, {}});
  table.Open();
  EXPECT_EQ(table.Level(), 7);
  table.Append();
  table.SetString("NOMEABREVGRUPXADE", u"1º ESO A — Galego ā");
  table.Post();
  table.Close();
  table.Open();
  EXPECT_EQ(table.AsString("NOMEABREVGRUPXADE"), u"1º ESO A — Galego ?");
  EXPECT_EQ(table.Fields()[0].name, "CONVOCATORIA");
}

TEST_F(TableTest, ReportsMissingTablesFoldersIndexesAndBadDefinitions) {
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  };
  CreateCourses();
  const Case cases[] = {
      {"missing table", [&] { Table(dir_.path(), "NOPE").Open(); }, "Table does not exist"},
      {"missing folder", [&] { Table(dir_ / "NOFOLDER", "T").Open(); }, "Folder does not exist"},
      {"missing index tag",
       [&] {
         Table table(dir_.path(), "CURSOST");
         table.SetIndexName("ABREV");
         table.Open();
       },
       "index 'ABREV' does not exist"},
      {"bad field name", [&] { Table(dir_.path(), "T").Create({{FieldDef::Text("1X", 3)}, {}}); }, "bad field name"},
      {"duplicate field",
       [&] { Table(dir_.path(), "T").Create({{FieldDef::Text("A", 3), FieldDef::Text("a", 3)}, {}}); },
       "used twice"},
      {"tag on no field", [&] { Table(dir_.path(), "T").Create({{FieldDef::Text("A", 3)}, {"B"}}); }, "names no field"},
      {"too wide", [&] { Table(dir_.path(), "T").Create({{FieldDef::Text("A", 300)}, {}}); }, "unsupported type or width"},
  };
  for (const Case& c : cases) {
    const std::string message = test::MessageOf(c.action);
    EXPECT_NE(message.find(c.message), std::string::npos) << c.what << ": " << message;
  }
}

TEST_F(TableTest, RefusesADamagedFileAndLeavesItAsItWas) {
  test::WriteBytes(dir_ / "BAD.DBF", std::string("\x03\x7A\x0C\x0A\xFF\xFF\x00\x00\x41\x00\x05\x00", 12) +
                                         std::string(20, '\0'));
  const std::string before = test::ReadBytes(dir_ / "BAD.DBF");
  Table table(dir_.path(), "BAD");
  const std::string message = test::MessageOf([&] { table.Open(); });
  EXPECT_NE(message.find("BAD.DBF"), std::string::npos) << message;
  EXPECT_NE(message.find("damaged"), std::string::npos) << message;
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(test::ReadBytes(dir_ / "BAD.DBF"), before);
}

// A dBase III table as another program writes it: a deleted row, a memo
// field Ludaro does not read, fields in another order than Ludaro would use.
TEST_F(TableTest, ReadsForeignTablesUsingOnlyTheFieldsItNeeds) {
  std::string bytes("\x83\x7A\x0C\x0A\x03\x00\x00\x00\x81\x00\x10\x00", 12);
  bytes += std::string(16, '\0') + std::string("\x00\x03\x00\x00", 4);  // no index, driver 3 (cp1252)
  auto descriptor = [](const char* name, char type, int width, int decimals) {
    std::string d(32, '\0');
    std::copy(name, name + std::strlen(name), d.begin());
    d[11] = type;
    d[16] = static_cast<char>(width);
    d[17] = static_cast<char>(decimals);
    return d;
  };
  bytes += descriptor("NOTAS", 'M', 10, 0) + descriptor("HORA", 'F', 4, 1) + descriptor("ASIG", 'C', 1, 0);
  bytes += '\x0D';
  bytes += "          112.5\xD1";
  bytes += "*         2 9.9X";
  bytes += "            3.0a";
  bytes += '\x1A';
  test::WriteBytes(dir_ / "soluc.dbf", bytes);

  Table table(dir_.path(), "SOLUC");
  table.Open();
  EXPECT_EQ(table.Level(), 3);
  EXPECT_EQ(table.RecordCount(), 2u);
  EXPECT_EQ(table.AsString("ASIG"), u"Ñ");
  EXPECT_EQ(table.AsFloat("HORA"), 12.5);
  EXPECT_EQ(table.AsInteger("HORA"), 12);
  table.Next();
  EXPECT_EQ(table.AsString("ASIG"), u"a");
  EXPECT_EQ(table.AsInteger("HORA"), 3);
  EXPECT_NE(test::MessageOf([&] { table.AsString("NOTAS"); }).find("type 'M'"), std::string::npos);
  EXPECT_FALSE(table.Locate("ASIG", {std::u16string(u"X")})) << "deleted rows are not found";
}

}  // namespace
}  // namespace ludaro::dbf
