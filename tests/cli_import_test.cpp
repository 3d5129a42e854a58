#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_dialog.h"
#include "tests/import_fixture.h"

namespace ludaro::cli {
namespace {

using test::ReadRows;
using test::TableRows;

class CliImportTest : public ::testing::Test, public test::ImportFixture {
 protected:
  struct Result {
    int status;
    std::string out, err;
  };

  Result Import(std::vector<std::string> options) {
    std::vector<std::string> arguments = {"import", "--xade", xade().string(), "--htemp", htemp().string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::ostringstream out, err;
    const int status = RunCli(arguments, out, err);
    return {status, out.str(), err.str()};
  }

  std::string WriteCoding(const std::string& text) const {
    const auto file = xade() / "coding.csv";
    test::WriteBytes(file, text);
    return file.string();
  }
};

TEST_F(CliImportTest, ImportsTheChosenConvocatoriaWithTheCodingOfAFile) {
  WriteSmallSchool();
  // Columns in any order; a course the convocatoria lacks is passed over; blank lines too.
  const std::string coding = WriteCoding("NIVEL,CODCURSO,CURSO,TURNO\nESO,ESO1,1,M\n\nBAC,BAC2,2,\nOUT,NONE,1,T\n");
  const Result result = Import({"--convocatoria", "C1", "--coding", coding});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Proceso finalizado\n");
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", {"CODCURSO", "TURNO", "NIVEL", "CURSO"}),
            (TableRows{{"ESO1", "M", "ESO", "1"}, {"BAC2", "", "BAC", "2"}}));
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV"}),
            (TableRows{{"ESO1A"}, {"ESO1B"}, {"BAC2A"}, {"ESO1A1"}, {"ESO1A2"}}));

  // A second run asks the recovery question; "no" forgets the saved coding.
  const Result again = Import({"--convocatoria", "C2", "--recover", "no"});
  EXPECT_EQ(again.status, kExitStopped);
  EXPECT_EQ(again.err,
            u8"Recuperación de Niveles y Cursos importados anteriormente: Existen Niveles y Cursos ya definidos de "
            u8"una Importación anterior. ¿Quiere recuperar las codificaciones introducidas anteriormente? -> Cancel\n"
            u8"!!!!!!! ATENCIÓN !!!!!!!  Existe algún NIVEL o CURSO, sin contenido. Debe completar todos los datos "
            u8"en la columna NIVEL y CURSO.\n"
            u8"course ESO1 (1º ESO): NIVEL and CURSO missing\n");
}

TEST_F(CliImportTest, AFailedLevelCheckNamesEveryIncompleteCourse) {
  WriteSmallSchool();
  const Result result = Import({"--coding", WriteCoding("CODCURSO,TURNO,NIVEL,CURSO\nESO1,M,,1\nBAC2,T,BAC,\n")});
  EXPECT_EQ(result.status, kExitStopped);
  EXPECT_NE(result.err.find(u8"course ESO1 (1º ESO): NIVEL missing\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(u8"course BAC2 (2º Bacharelato, Ciencias): CURSO missing\n"), std::string::npos)
      << result.err;
  EXPECT_EQ(result.err.find("Proceso finalizado"), std::string::npos);
}

TEST_F(CliImportTest, ExitStatusesTellHowTheImportEnded) {
  const struct {
    const char* name;
    std::function<void(const std::filesystem::path& xade)> prepare;
    std::vector<std::string> options;
    int status;
    const char* err;  // a line stderr holds
  } cases[] = {
      {"missing input file",
       [](const auto& xade) { std::filesystem::remove(xade / "subgruposCentro.csv"); },
       {},
       kExitOk,
       "No existe archivo de Sub-Grupos (subgruposCentro.CSV)\n"},
      {"missing groups file",
       [](const auto& xade) { std::filesystem::remove(xade / "gruposCentro.csv"); },
       {},
       kExitIncomplete,
       "No existe archivo de Grupos (gruposCentro.CSV)\n"},
      {"missing convocatorias",
       [](const auto& xade) { std::filesystem::remove(xade / "convocatoriasCentro.csv"); },
       {},
       kExitStopped,
       "No existe archivo de Convocatorias(convocatoriasCentro.CSV)\n"},
      {"missing folder",
       [](const auto& xade) { std::filesystem::remove_all(xade); },
       {},
       kExitStopped,
       "No existe la carpeta\n"},
      {"unknown convocatoria",
       [](const auto&) {},
       {"--convocatoria", "C9"},
       kExitStopped,
       "error: No convocatoria 'C9' in convocatoriasCentro.csv\n"},
      {"short line",
       [](const auto& xade) { test::WriteBytes(xade / "gruposCentro.csv", "cabeceira\nC1,ESO1,G1,A,Un,A\nC1\n"); },
       {},
       kExitStopped,
       "error: List index out of bounds (1) ("},
      {"coding without NIVEL",
       [](const auto&) {},
       {"--coding", "CODING"},
       kExitStopped,
       "the header lacks the column NIVEL"},
      {"missing coding file",
       [](const auto&) {},
       {"--coding", "NOFILE"},
       kExitStopped,
       "error: The coding file does not exist"},
      {"no --xade", [](const auto&) {}, {"--xade"}, kExitUsage, "option --xade needs a value"},
      {"bad --recover",
       [](const auto&) {},
       {"--recover", "maybe"},
       kExitUsage,
       "option --recover takes yes or no, not 'maybe'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetHtemp();
    std::filesystem::create_directories(xade());
    WriteLaterFiles();
    WriteSmallSchool();
    c.prepare(xade());
    std::vector<std::string> options = c.options;
    for (auto& option : options) {
      if (option == "CODING") option = WriteCoding("CODCURSO,TURNO,CURSO\nESO1,M,1\n");
      if (option == "NOFILE") option = (xade() / "nada.csv").string();
    }
    if (c.status == kExitOk || c.status == kExitIncomplete)
      options.insert(options.end(), {"--coding", WriteCoding("CODCURSO,TURNO,NIVEL,CURSO\nESO1,M,ESO,1\nBAC2,,B,2\n")});
    const Result result = Import(options);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
  }
}

// A clock the test moves by hand.
struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  CliDialog::Clock Clock() {
    return [this] { return now; };
  }
};

TEST(CliDialogTest, WritesEachMessageAsOneLine) {
  std::ostringstream err;
  FakeClock clock;
  {
    CliDialog dialog(err, false, true, clock.Clock());
    clock.now += std::chrono::seconds(2);
    dialog.Message(u"uno\r\ndos\n\rtres");
    dialog.Progress(u"LeerGrupos", 4096);
    dialog.Progress(u"LeerGrupos", 8192);
    EXPECT_FALSE(dialog.Question(u"Título", u"¿Seguro?"));
    dialog.Progress(u"LeerSubgrupos", 4096);
  }
  EXPECT_EQ(err.str(),
            u8"uno dos tres\n\rLeerGrupos: 4096 lines\rLeerGrupos: 8192 lines\nTítulo: ¿Seguro? -> Cancel\n"
            u8"\rLeerSubgrupos: 4096 lines\n");
}

TEST(CliDialogTest, ShowsProgressOnlyOnATerminalAfterTheFirstSecond) {
  using std::chrono::milliseconds;
  const struct {
    const char* name;
    bool terminal;
    std::vector<milliseconds> reports;  // when each progress report comes, from the start
    const char* err;
  } cases[] = {
      {"a short run", true, {milliseconds(10), milliseconds(1000)}, "done\n"},
      {"a long run", true, {milliseconds(900), milliseconds(1001), milliseconds(1500)},
       "\rLeerGrupos: 2 lines\rLeerGrupos: 3 lines\ndone\n"},
      {"not a terminal", false, {milliseconds(5000)}, "done\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::ostringstream err;
    FakeClock clock;
    {
      CliDialog dialog(err, true, c.terminal, clock.Clock());
      const auto start = clock.now;
      std::uint64_t lines = 0;
      for (const auto at : c.reports) {
        clock.now = start + at;
        dialog.Progress(u"LeerGrupos", ++lines);
      }
      dialog.Message(u"done");
    }
    EXPECT_EQ(err.str(), c.err);
  }
}

}  // namespace
}  // namespace ludaro::cli
