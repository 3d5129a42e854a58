#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/command_line.h"
#include "cli/csv_output.h"
#include "common/dbf/table.h"
#include "common/version.h"
#include "tests/test_support.h"

namespace ludaro::cli {
namespace {

TEST(CsvOutput, QuotesOnlyWhatRfc4180Needs) {
  const struct {
    const char* text;
    const char* field;
  } cases[] = {
      {"", ""},
      {"Núñez Pérez", "Núñez Pérez"},
      {"Souto, Alba", "\"Souto, Alba\""},
      {"o \"Bea\"", "\"o \"\"Bea\"\"\""},
      {"one\ntwo", "\"one\ntwo\""},
      {"one\rtwo", "\"one\rtwo\""},
      {"semi;colon 'single'", "semi;colon 'single'"},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;
  EXPECT_EQ(CsvLine({"a", "", "b,c"}), "a,,\"b,c\"\n");
}

TEST(CsvOutput, FormatsEachKindOfValue) {
  EXPECT_EQ(FormatValue(std::monostate{}), "");
  EXPECT_EQ(FormatValue(std::u16string(u"Conceição €")), u8"Conceição €");
  EXPECT_EQ(FormatValue(std::int64_t{-99999}), "-99999");
  EXPECT_EQ(FormatValue(0.1), "0.1");
  EXPECT_EQ(FormatValue(-12.75), "-12.75");
  EXPECT_EQ(FormatValue(4.0), "4");
  EXPECT_EQ(FormatValue(1234567.5), "1234567.5");
  EXPECT_EQ(FormatValue(true), "T");
  EXPECT_EQ(FormatValue(false), "F");
}

TEST(CommandLine, TakesOptionsWithTheirValueInEitherForm) {
  const CommandSyntax syntax{{"TABLE.DBF"}, {"index"}};
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"T.DBF", "--index", "ABREV"}, {"--index=ABREV", "T.DBF"}, {"--index", "ABREV", "T.DBF"}}) {
    const auto parsed = ParseArguments(arguments, syntax);
    EXPECT_EQ(parsed.positional(0), "T.DBF");
    EXPECT_EQ(parsed.option("index"), "ABREV");
  }
  const auto plain = ParseArguments({"--", "--odd-name.DBF"}, syntax);
  EXPECT_EQ(plain.positional(0), "--odd-name.DBF");
  EXPECT_FALSE(plain.option("index"));
}

TEST(CommandLine, RefusesWhatTheSyntaxDoesNotAllow) {
  const CommandSyntax syntax{{"TABLE.DBF"}, {"index"}};
  const struct {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{}, "missing TABLE.DBF"},
      {{"A.DBF", "B.DBF"}, "unexpected argument 'B.DBF'"},
      {{"A.DBF", "--index"}, "option --index needs a value"},
      {{"A.DBF", "--order", "X"}, "unknown option --order"},
      {{"A.DBF", "--index", "X", "--index=Y"}, "option --index is given twice"},
  };
  for (const auto& c : cases) {
    try {
      ParseArguments(c.arguments, syntax);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const UsageError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
  }
}

class DumpTest : public ::testing::Test {
 protected:
  test::TempDir dir_;

  struct Result {
    int status;
    std::string out, err;
  };

  Result Run(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = RunCli(arguments, out, err);
    return {status, out.str(), err.str()};
  }

  std::string TablePath() const { return (dir_ / "AULAT.DBF").string(); }

  void WriteRooms() {
    dbf::Table table(dir_.path(), "AULAT");
    table.Create({{dbf::FieldDef::Text("ABREV", 6), dbf::FieldDef::Text("NOMBRE", 30),
                   dbf::FieldDef::Integer("PUESTOS"), dbf::FieldDef::Float("SUPERF"), dbf::FieldDef::Logical("LIBRE")},
                  {"ABREV", "PUESTOS"}});
    table.Open();
    auto add = [&](const char16_t* abrev, const char16_t* name, std::int64_t seats, double area, bool free) {
      table.Append();
      table.SetString("ABREV", abrev);
      table.SetString("NOMBRE", name);
      table.SetInteger("PUESTOS", seats);
      table.SetFloat("SUPERF", area);
      table.SetBoolean("LIBRE", free);
      table.Post();
    };
    add(u"LAB", u"Laboratorio, \"Física\"", 24, 60.5, true);
    add(u"A1", u"Aula 1º", 30, 48.25, false);
    table.Append();  // a row left blank
    table.Post();
    add(u"XIM", u"Ximnasio", -1, 0.1, true);
    table.Close();
  }
};

TEST_F(DumpTest, PrintsRowsInRowOrderOrInTheOrderOfATag) {
  WriteRooms();
  const std::string header = "ABREV,NOMBRE,PUESTOS,SUPERF,LIBRE\n";
  const std::string lab = u8"LAB,\"Laboratorio, \"\"Física\"\"\",24,60.5,T\n";
  const std::string a1 = u8"A1,Aula 1º,30,48.25,F\n";
  const std::string blank = ",,,,\n";
  const std::string xim = "XIM,Ximnasio,-1,0.1,T\n";

  auto rows = Run({"dump", TablePath()});
  EXPECT_EQ(rows.status, kExitOk) << rows.err;
  EXPECT_EQ(rows.out, header + lab + a1 + blank + xim);
  EXPECT_EQ(rows.err, "");

  auto byAbrev = Run({"dump", TablePath(), "--index", "ABREV"});
  EXPECT_EQ(byAbrev.status, kExitOk) << byAbrev.err;
  EXPECT_EQ(byAbrev.out, header + blank + a1 + lab + xim);

  auto bySeats = Run({"dump", "--index=puestos", TablePath()});
  EXPECT_EQ(bySeats.status, kExitOk) << bySeats.err;
  EXPECT_EQ(bySeats.out, header + xim + blank + lab + a1);
}

TEST_F(DumpTest, AMissingTableOrTagIsAnErrorNamingTheFile) {
  auto missing = Run({"dump", (dir_ / "NADA.DBF").string()});
  EXPECT_EQ(missing.status, kExitStopped);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err.rfind("error: ", 0), 0u) << missing.err;
  EXPECT_NE(missing.err.find("NADA.DBF"), std::string::npos) << missing.err;

  WriteRooms();
  auto noTag = Run({"dump", TablePath(), "--index", "SUPERF"});
  EXPECT_EQ(noTag.status, kExitStopped);
  EXPECT_EQ(noTag.out, "");
  EXPECT_NE(noTag.err.find("AULAT.DBF"), std::string::npos) << noTag.err;
  EXPECT_NE(noTag.err.find("SUPERF"), std::string::npos) << noTag.err;
}

TEST_F(DumpTest, UsageErrorsPrintTheUsageAndExit64) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {}, {"list"}, {"dump"}, {"dump", "A.DBF", "--order", "X"}}) {
    auto result = Run(arguments);
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("usage:"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("ludaro-cli dump TABLE.DBF [--index TAG]"), std::string::npos) << result.err;
  }
}

TEST(Cli, VersionNamesTheProjectVersion) {
  std::ostringstream out, err;
  EXPECT_EQ(RunCli({"--version"}, out, err), kExitOk);
  EXPECT_EQ(out.str(), std::string("ludaro-cli ") + kVersion + "\n");
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace ludaro::cli
