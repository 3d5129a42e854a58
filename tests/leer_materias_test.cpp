#include "import/leer_materias.h"

#include <chrono>
#include <iostream>

#include <gtest/gtest.h>

#include "common/dbf/table.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/timetable_tables.h"
#include "tests/import_step_fixture.h"

namespace ludaro {
namespace {

using test::CsvLine;
using test::ReadRows;
using test::TableRows;

const char* const kCentro = "materiasHorarioOfertaCentro.csv";
const char* const kXeral = "materiasHorarioOfertaXeral.csv";
const char* const kActividades = "actividadesProfesor.csv";

const std::vector<std::string> kMateriaFields = {"COD", "CODLARGO", "NOMBRE", "ESTAREA", "CODTAREA", "CODLARGO2"};
const std::vector<std::string> kOfertaFields = {"COD",     "CODLARGO", "NOMBRE",   "CODMATERIA",
                                                "CODCURSO", "ESTAREA", "CODTAREA", "ABREVXADE"};

// A subject line: subject code, course, task, key text, name, XADE abbreviation.
std::string Subject(const std::string& key, const std::string& name, const std::string& course = "ESO1",
                    const std::string& task = "0", const std::string& code = "M1", const std::string& abrev = "AB") {
  return CsvLine({code, course, task, key, name, abrev});
}

std::vector<std::string> Column(const TableRows& rows, std::size_t column = 0) {
  std::vector<std::string> values;
  for (const auto& row : rows) values.push_back(row.at(column));
  return values;
}

class LeerMateriasTest : public test::ImportStepTest {
 protected:
  // The three files, the general offer and activities with only their header
  // unless given, and the course table with ESO1.
  void Write(const std::vector<std::string>& centro, const std::vector<std::string>& xeral = {},
             const std::vector<std::string>& actividades = {}) {
    WriteXade(kCentro, centro);
    WriteXade(kXeral, xeral);
    WriteXade(kActividades, actividades);
    WriteCursos({"ESO1"});
  }

  void Run() {
    ImportStepContext context = Context();
    LeerMaterias(context);
  }

  std::vector<std::string> Cods() { return Column(ReadRows(htemp(), kMateriasTable, {"COD"})); }
};

TEST_F(LeerMateriasTest, AbbreviationsFollowTheWorkedExampleRowForRow) {
  const struct {
    std::string key, name, cod;
  } rows[] = {
      {"Física", "Física e Química", "Física"},
      {"Obradoiro de Robótica Educativa", "Obradoiro", "OdRE"},
      {"Matemáticas", "Matemáticas aplicadas", "Ma"},
      {"MATEMÁTICAS", "Matemáticas", "M"},
      {"física", "Física de 2º", "física1"},
      {"Tecnoloxía", "Tecnoloxía", "Tecnoloxía"},
      {"TECNOLOXÍA", "Tecnoloxía", "TECNOLOXA1"},
      // Filosofía and Filosofía1 to Filosofía9 taken before Filosofía comes.
      {"FILOSOFÍA", "Filosofía", "FILOSOFÍA"},
      {"Filosofía1", "Filosofía", "Filosofía1"},
      {"Filosofía2", "Filosofía", "Filosofía2"},
      {"Filosofía3", "Filosofía", "Filosofía3"},
      {"Filosofía4", "Filosofía", "Filosofía4"},
      {"Filosofía5", "Filosofía", "Filosofía5"},
      {"Filosofía6", "Filosofía", "Filosofía6"},
      {"Filosofía7", "Filosofía", "Filosofía7"},
      {"Filosofía8", "Filosofía", "Filosofía8"},
      {"Filosofía9", "Filosofía", "Filosofía9"},
      {"Filosofía", "Filosofía", "Filosofí10"},
  };
  std::vector<std::string> lines;
  std::vector<std::string> expected;
  for (const auto& row : rows) {
    lines.push_back(Subject(row.key, row.name));
    expected.push_back(row.cod);
  }
  // A subject seen before: only an offer row, with the first line's
  // abbreviation and its own name and course.
  lines.push_back(Subject("Física", "Física de Bacharelato", "BAC2", "0", "M9", "FB"));
  Write(lines);
  Run();

  EXPECT_EQ(Cods(), expected);
  const TableRows oferta = ReadRows(htemp(), kOfertaMateriasTable, {"COD", "NOMBRE", "CODCURSO", "CODMATERIA"});
  ASSERT_EQ(oferta.size(), std::size(rows) + 1);
  EXPECT_EQ(Column(oferta), [&] {
    auto cods = expected;
    cods.push_back("Física");
    return cods;
  }());
  EXPECT_EQ(oferta.back(), (std::vector<std::string>{"Física", "Física de Bacharelato", "BAC2", "M9"}));
  EXPECT_TRUE(dialog.said.empty());
  EXPECT_EQ(state.nTransformado, 0);
}

TEST_F(LeerMateriasTest, TablesHaveTheirLayoutAndEveryField) {
  Write({Subject("Lingua", "Lingua galega", "ESO1", "0", "LG1", "LGL"),
         Subject("Titoría", "Titoría de grupo", "ESO1", "00", "TI1", "TIT")},
        {}, {CsvLine({"GARD", "Garda", "Garda de recreo"})});
  Run();

  EXPECT_EQ(Layout(kMateriasTable), (std::vector<std::string>{"COD:C10", "CODLARGO:C10", "NOMBRE:C80", "ESTAREA:L1",
                                                              "CODTAREA:C10", "CODLARGO2:C50"}));
  EXPECT_EQ(Layout(kOfertaMateriasTable),
            (std::vector<std::string>{"COD:C10", "CODLARGO:C10", "NOMBRE:C80", "CODMATERIA:C20", "CODCURSO:C20",
                                      "ESTAREA:L1", "CODTAREA:C10", "ABREVXADE:C100"}));
  EXPECT_FALSE(platform::FindFileIgnoringCase(htemp() / "ASIGNOMT.MDX"));
  EXPECT_FALSE(platform::FindFileIgnoringCase(htemp() / "ASIGNOMT2.MDX"));

  // "0" is no task; any other text, "00" included, is one.
  EXPECT_EQ(ReadRows(htemp(), kMateriasTable, kMateriaFields),
            (TableRows{{"Lingua", "Lingua", "Lingua galega", "False", "", "Lingua"},
                       {"Titoría", "Titoría", "Titoría de grupo", "False", "00", "Titoría"},
                       {"GARD", "Garda", "Garda de recreo", "True", "GARD", "Garda"}}));
  EXPECT_EQ(ReadRows(htemp(), kOfertaMateriasTable, kOfertaFields),
            (TableRows{{"Lingua", "Lingua", "Lingua galega", "LG1", "ESO1", "False", "", "LGL"},
                       {"Titoría", "Titoría", "Titoría de grupo", "TI1", "ESO1", "False", "00", "TIT"},
                       {"GARD", "Garda", "Garda de recreo", "", "", "True", "GARD", ""}}));
}

TEST_F(LeerMateriasTest, ActivitiesAreLeftOutWhenTheirCodeIsTakenInTheSameCase) {
  Write({Subject("Gar", "Garda")}, {},
        {
            CsvLine({"Gar", "Garda", "same case as a subject: left out"}),
            CsvLine({"GAR", "Garda2", "other case: added"}),
            CsvLine({"GAR", "Garda3", "repeats an activity: left out"}),
            CsvLine({"TITORIA123X", "Tit", "cut to 10"}),
            CsvLine({"TITORIA123Y", "Tit", "same first 10: left out"}),
        });
  Run();

  EXPECT_EQ(ReadRows(htemp(), kMateriasTable, {"COD", "NOMBRE", "ESTAREA", "CODTAREA"}),
            (TableRows{{"Gar", "Garda", "False", ""},
                       {"GAR", "other case: added", "True", "GAR"},
                       {"TITORIA123", "cut to 10", "True", "TITORIA123"}}));
  EXPECT_EQ(Column(ReadRows(htemp(), kOfertaMateriasTable, {"COD"})),
            (std::vector<std::string>{"Gar", "GAR", "TITORIA123"}));
}

TEST_F(LeerMateriasTest, TheGeneralOfferAddsTheImportedCoursesAndTheTasks) {
  Write({Subject("Lingua", "Lingua galega", "ESO1", "0", "C1")},
        {
            Subject("Lingua", "Lingua galega", "ESO2", "0", "X1"),   // course not imported, no task
            Subject("Lingua", "Lingua galega", "ESO1", "0", "X2"),   // course imported
            Subject("Titoría", "Titoría", "ESO9", "T5", "X3"),       // course not imported, a task
            Subject("Lingua", "Lingua galega", "eso1", "0", "X4"),   // the course in another case
            Subject("Música", "Música", "ESO1", "T6", "X5"),         // both
        });
  Run();

  EXPECT_EQ(ReadRows(htemp(), kMateriasTable, {"COD", "CODTAREA"}),
            (TableRows{{"Lingua", ""}, {"Titoría", "T5"}, {"Música", "T6"}}));
  EXPECT_EQ(ReadRows(htemp(), kOfertaMateriasTable, {"COD", "CODMATERIA", "CODCURSO", "CODTAREA"}),
            (TableRows{{"Lingua", "C1", "ESO1", ""},
                       {"Lingua", "X2", "ESO1", ""},
                       {"Titoría", "X3", "ESO9", "T5"},
                       {"Música", "X5", "ESO1", "T6"}}));
}

TEST_F(LeerMateriasTest, AMissingFileIsReportedAndEndsTheStep) {
  const struct {
    const char* missing;
    const char16_t* message;
    std::vector<std::string> cods;
  } cases[] = {
      {kCentro, u"No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)", {"OLD"}},
      {kXeral, u"No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)", {"Centro"}},
      {kActividades, u"No existe archivo de Actividades (actividadesProfesor.CSV)", {"Centro", "Xeral"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    ResetHtemp();
    state = RunState{};
    dialog.said.clear();
    Write({Subject("Centro", "x")}, {Subject("Xeral", "x")}, {CsvLine({"ACT", "Act", "Actividade"})});
    std::filesystem::remove(xade() / c.missing);
    {
      // What an earlier import left.
      dbf::Table old(htemp(), kMateriasTable);
      old.Create(MateriasTableDef());
      old.Open();
      old.Append();
      old.SetString("COD", u"OLD");
      old.Post();
      old.Close();
    }
    Run();
    EXPECT_EQ(dialog.said, std::vector<std::u16string>{c.message});
    EXPECT_EQ(state.nTransformado, -1);
    EXPECT_EQ(Cods(), c.cods);
  }
}

TEST_F(LeerMateriasTest, ALineWithTooFewFieldsStopsTheStepNamingFileAndLine) {
  const struct {
    const char* file;
    std::vector<std::string> lines;
    std::string message;
  } cases[] = {
      {kCentro, {"M2,ESO1,0,Bioloxía,Bioloxía"}, "List index out of bounds (5)"},
      {kCentro, {""}, "List index out of bounds (3)"},
      {kXeral, {"M2"}, "List index out of bounds (1)"},
      {kXeral, {"M2,ESO9"}, "List index out of bounds (2)"},
      {kXeral, {"M2,ESO1,0"}, "List index out of bounds (3)"},
      {kActividades, {"ACT,Act"}, "List index out of bounds (2)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.lines.front());
    ResetHtemp();
    Write({Subject("Lingua", "Lingua galega")});
    std::vector<std::string> lines = {Subject("Física", "Física")};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    WriteXade(c.file, lines);
    try {
      Run();
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_NE(error.file().find(c.file), std::string::npos) << error.file();
      EXPECT_EQ(error.line(), 3);
    }
    // What was stored before the short line stays.
    const auto cods = Cods();
    EXPECT_EQ(cods.at(0), std::string(c.file) == kCentro ? "Física" : "Lingua");
  }
}

TEST_F(LeerMateriasTest, EveryLineOfALongKeyTextReachesItsSubject) {
  const std::string longKey(60, 'k');
  const std::string otherLongKey = std::string(50, 'k') + "other";
  Write({Subject(longKey, "Proxecto longo", "ESO1"), Subject(longKey, "Proxecto longo", "ESO2"),
         Subject(otherLongKey, "Outro proxecto", "ESO1")},
        {Subject(longKey, "Proxecto longo", "ESO1", "0", "X1")});
  Run();

  const TableRows materias = ReadRows(htemp(), kMateriasTable, {"COD", "CODLARGO2"});
  ASSERT_EQ(materias.size(), 2u);
  EXPECT_EQ(materias[0][1], std::string(50, 'k'));
  const std::string cod = materias[0][0];
  EXPECT_EQ(ReadRows(htemp(), kOfertaMateriasTable, {"COD", "CODCURSO"}),
            (TableRows{{cod, "ESO1"}, {cod, "ESO2"}, {materias[1][0], "ESO1"}, {cod, "ESO1"}}));
  ExpectUniqueAbbreviations(kMateriasTable, "COD");
}

TEST_F(LeerMateriasTest, StoredAbbreviationsAreUniqueNonEmptyAndFitWhateverTheKeys) {
  std::vector<std::string> lines;
  // 250 key texts that all give the base Filosofía: the numbering runs past
  // the candidates that keep the last two characters and still ends.
  for (int n = 1; n <= 250; ++n) lines.push_back(Subject("F i l o s o f í a" + std::to_string(n), "x"));
  // Neither key text nor name to take letters from.
  lines.push_back(Subject("", ""));
  lines.push_back(Subject(" ", ""));
  // Letters the ANSI code page lacks are stored alike.
  lines.push_back(Subject("Ωmega", "x"));
  lines.push_back(Subject("Σmega", "x"));
  Write(lines);
  Run();

  const auto cods = Cods();
  ASSERT_EQ(cods.size(), 254u);
  EXPECT_EQ(cods[0], "Filosofía");
  EXPECT_EQ(cods[10], "Filosofí10");
  EXPECT_EQ(cods[99], "Filosofí99");
  EXPECT_EQ(cods[100], "Filosof100");
  EXPECT_EQ(std::vector<std::string>(cods.end() - 4, cods.end()),
            (std::vector<std::string>{"1", "2", "?mega", "?mega1"}));
  ExpectUniqueAbbreviations(kMateriasTable, "COD");
}

TEST_F(LeerMateriasTest, NamesRoundTripInTheAnsiCodePage) {
  const std::string name = "Ñandú Àá Éé Íí Óó Úú Üü Çç ª º ¿¡ «O'Neill, \"Xoán\"» Œ €";
  Write({Subject("Lingua", name, "ESO1", "0", "M1", "a,b \"c\""), Subject("Grego", "Ωmega")});
  Run();
  EXPECT_EQ(ReadRows(htemp(), kOfertaMateriasTable, {"NOMBRE", "ABREVXADE"}),
            (TableRows{{name, "a,b \"c\""}, {"?mega", "AB"}}));
}

// A school's offer is read in time linear in its size, even when every
// subject numbers the same base.
TEST_F(LeerMateriasTest, ALargeOfferImportsInLinearTime) {
  const auto secondsFor = [this](int count) {
    ResetHtemp();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int n = 0; n < count; ++n)
      lines.push_back("M" + std::to_string(n) + ",ESO1,0,\"Asignatura a" + std::to_string(n) + "\",Nome,AB");
    Write(lines);
    const auto start = std::chrono::steady_clock::now();
    Run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const double small = secondsFor(20000);
  const double large = secondsFor(100000);
  std::cout << "20000 lines: " << small << " s; 100000 lines: " << large << " s\n";
  // Linear gives about 5 times as long; quadratic would give 25.
  EXPECT_LT(large, 15 * small + 0.5);
  EXPECT_EQ(Cods().back(), "Aa99999");
  ExpectUniqueAbbreviations(kMateriasTable, "COD");
}

}  // namespace
}  // namespace ludaro
