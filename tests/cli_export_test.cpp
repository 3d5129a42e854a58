#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "tests/horalia_tables.h"
#include "tests/test_support.h"

namespace ludaro::cli {
namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string err;
};

Result RunCommand(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = RunCli(arguments, out, err);
  EXPECT_EQ(out.str(), "");
  return {status, err.str()};
}

// HORARIO.CSV as UTF-8 lines ended by LF, for comparing with a text file.
std::string AsUtf8Lines(const std::string& cp1252) {
  std::string text = U16ToUtf8(platform::FromCodePage(cp1252, 1252));
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  return lines;
}

TEST(CliExport, ExitStatusAndStartTimes) {
  const struct {
    const char* name;
    const char* startTimes;  // nullptr: no --start-times
    bool folderExists;
    int status;
    const char* errFragment;
    const char* csv;  // nullptr: no HORARIO.CSV
  } cases[] = {
      {"accepted as it is", nullptr, true, kExitOk, "Proceso finalizado\n",
       "\"1\",\"Luns\",\"08:55\",\"1ESO-A\",\"MAT1\",\"DOCENTE UNO\",\"\",\"A12\"\r\n"},
      {"a corrected start time", "HORA,HORAINI\n2,09:00\n\n", true, kExitOk, "Proceso finalizado\n",
       "\"1\",\"Luns\",\"09:00\",\"1ESO-A\",\"MAT1\",\"DOCENTE UNO\",\"\",\"A12\"\r\n"},
      {"a start time that is no time", "HORA,HORAINI\n2,9h\n", true, kExitStopped, "HH:MM", nullptr},
      {"an hour the template lacks", "HORA,HORAINI\n7,09:00\n", true, kExitStopped, "no HORA 7", nullptr},
      {"no header", "2,09:00\n", true, kExitStopped, "header HORA,HORAINI", nullptr},
      {"missing folder", nullptr, false, kExitStopped, "No existe la carpeta\n", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir root;
    const fs::path htemp = root / "HTEMP";
    const fs::path xade = root / "xade";
    fs::create_directory(htemp);
    if (c.folderExists) fs::create_directory(xade);
    test::WriteSchool(htemp);
    test::WriteSoluc(htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 2, 1}});
    std::vector<std::string> arguments = {"export", "--xade", xade.string(), "--htemp", htemp.string()};
    if (c.startTimes) {
      test::WriteBytes(root / "times.csv", c.startTimes);
      arguments.insert(arguments.end(), {"--start-times", (root / "times.csv").string()});
    }
    const Result result = RunCommand(arguments);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.errFragment), std::string::npos) << result.err;
    if (c.csv) {
      EXPECT_EQ(test::ReadBytes(xade / "HORARIO.CSV"), c.csv);
    } else {
      EXPECT_FALSE(fs::exists(xade / "HORARIO.CSV"));
    }
  }
}

TEST(CliExport, UsageErrors) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"export"}, {"export", "--htemp", "x"}, {"export", "--xade", "x", "--start", "y"}, {"export", "x"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(arguments, out, err), kExitUsage) << err.str();
  }
}

// The sample school end to end: the import of its XADE export, Horalia's
// solution for the tables it wrote, and the export of that solution.
TEST(SampleSchool, ImportThenExportWritesTheSolution) {
  const fs::path samples = test::Fixture("../../samples");
  test::TempDir root;
  const fs::path htemp = root / "HTEMP";
  const fs::path out = root / "out";
  fs::create_directory(htemp);
  fs::create_directory(out);

  const Result imported = RunCommand({"import", "--xade", (samples / "school").string(), "--htemp", htemp.string(),
                               "--coding", (samples / "school" / "coding.csv").string()});
  ASSERT_EQ(imported.status, kExitOk) << imported.err;
  for (const char* table : {"SOLUC.DBF", "DIASHORAST.DBF"})
    fs::copy_file(samples / "horalia" / table, htemp / table);

  const Result exported = RunCommand({"export", "--xade", out.string(), "--htemp", htemp.string()});
  ASSERT_EQ(exported.status, kExitOk) << exported.err;
  EXPECT_EQ(exported.err, "Proceso finalizado\n");
  EXPECT_EQ(AsUtf8Lines(test::ReadBytes(out / "HORARIO.CSV")),
            test::ReadBytes(samples / "horalia" / "HORARIO.expected.csv"));
}

}  // namespace
}  // namespace ludaro::cli
