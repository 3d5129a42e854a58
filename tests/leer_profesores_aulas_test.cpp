#include <gtest/gtest.h>

#include "common/dbf/table.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/leer_aulas.h"
#include "import/leer_profesores.h"
#include "import/timetable_tables.h"
#include "tests/import_step_fixture.h"

namespace ludaro {
namespace {

using test::CsvLine;
using test::ReadRows;
using test::TableRows;

const char* const kProfesoresFile = "profesoresGrupoCentro.csv";
const char* const kAulasFile = "aulasCentro.csv";

// Employee code, group (not read), name.
std::string Teacher(const std::string& code, const std::string& name) { return CsvLine({code, "G1", name}); }

class ProfesoresAulasTest : public test::ImportStepTest {
 protected:
  void RunProfesores() {
    ImportStepContext context = Context();
    LeerProfesores(context);
  }
  void RunAulas() {
    ImportStepContext context = Context();
    LeerAulas(context);
  }
};

// ------------------------------------------------------------ teachers

TEST_F(ProfesoresAulasTest, TeachersGetTheCapitalsOfTheirNameNumberedWhenTaken) {
  WriteXade(kProfesoresFile, {
                                 Teacher("E1", "García López, Ana"),
                                 Teacher("E2", "Gómez Lago, Alberto"),
                                 Teacher("E1", "García López, Ana"),
                                 Teacher("E3", "Gil Lorenzo, Andrés"),
                                 Teacher("E4", "Fernández Castro, Xoán Manuel"),
                                 Teacher("E5", "Fernández Castro, Xosé María"),
                                 Teacher("E2", "A name on a later line"),
                             });
  RunProfesores();

  EXPECT_EQ(Layout(kProfesoresTable), (std::vector<std::string>{"ABREV:C10", "NOMBRE:C80", "DEPART:C40", "DNI:C15",
                                                                "EMAIL:C100", "X_EMPLEADO:C10"}));
  const std::vector<std::string> fields = {"ABREV", "NOMBRE", "DEPART", "DNI", "EMAIL", "X_EMPLEADO"};
  EXPECT_EQ(ReadRows(htemp(), kProfesoresTable, fields),
            (TableRows{{"GLA", "García López, Ana", "", "", "", "E1"},
                       {"GLA1", "Gómez Lago, Alberto", "", "", "", "E2"},
                       {"GLA2", "Gil Lorenzo, Andrés", "", "", "", "E3"},
                       {"FCXM", "Fernández Castro, Xoán Manuel", "", "", "", "E4"},
                       {"FCX1", "Fernández Castro, Xosé María", "", "", "", "E5"}}));
  EXPECT_EQ(ReadRows(htemp(), kProfesoresTable, {"ABREV"}, "ABREV"),
            (TableRows{{"FCX1"}, {"FCXM"}, {"GLA"}, {"GLA1"}, {"GLA2"}}));
  EXPECT_TRUE(dialog.said.empty());
  EXPECT_EQ(state.nTransformado, 0);
}

TEST_F(ProfesoresAulasTest, TeacherAbbreviationsAreUniqueNonEmptyAndFitAsStored) {
  const struct {
    std::string name, abrev;
  } teachers[] = {
      {"GARCIA LOPEZ, ANA", "GARCIALOPE"},      // cut before the uniqueness test
      {"GARCIA LOPEZ, ANTONIO", "GAR1"},        // cut, it is taken
      {"GARCIA LOPEZ", "GAR2"},
      {"Álvarez Álvarez, Óscar", "ÁÁÓ"},        // capitals with accents only: the initials
      {"Álvarez Álvarez, Óliver", "ÁÁÓ1"},
      {"ana pena", "ap"},
      {"", "1"},                                // nothing to take letters from
      {"", "2"},
  };
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < std::size(teachers); ++i)
    lines.push_back(Teacher("E" + std::to_string(i), teachers[i].name));
  WriteXade(kProfesoresFile, lines);
  RunProfesores();

  const TableRows rows = ReadRows(htemp(), kProfesoresTable, {"ABREV", "NOMBRE"});
  ASSERT_EQ(rows.size(), std::size(teachers));
  for (std::size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(rows[i], (std::vector<std::string>{teachers[i].abrev, teachers[i].name}));
  ExpectUniqueAbbreviations(kProfesoresTable, "ABREV");
}

TEST_F(ProfesoresAulasTest, AnEmployeeCodeLongerThanItsFieldIsStillRecognised) {
  WriteXade(kProfesoresFile, {Teacher("E1234567890A", "Pena Rial, Uxía"), Teacher("E1234567890A", "Pena Rial, Uxía"),
                              Teacher("E1234567890B", "Pena Rial, Uxío")});
  RunProfesores();
  EXPECT_EQ(ReadRows(htemp(), kProfesoresTable, {"ABREV", "X_EMPLEADO"}),
            (TableRows{{"PRU", "E123456789"}, {"PRU1", "E123456789"}}));
}

// ------------------------------------------------------------ classrooms

TEST_F(ProfesoresAulasTest, ClassroomsTakeTheirCodeOrItsFirstThreeCharactersNumbered) {
  WriteXade(kAulasFile, {
                            CsvLine({"LAB1", "Laboratorio de Física"}),
                            CsvLine({"LAB1", "Laboratorio de Física"}),
                            CsvLine({"Lab1", "Laboratorio de Química"}),
                            CsvLine({"LAB2", "Laboratorio 2"}),
                            CsvLine({"A1", "Aula 1", "later fields are not read"}),
                            CsvLine({"a1", "Aula 1 bis"}),
                        });
  RunAulas();

  EXPECT_EQ(Layout(kAulasTable),
            (std::vector<std::string>{"ABREV:C10", "NOMBRE:C80", "EDIFICIO:C1", "MAXALUM:N11", "CODAULA:C10"}));
  EXPECT_FALSE(platform::FindFileIgnoringCase(htemp() / "AULAT.MDX"));
  EXPECT_EQ(ReadRows(htemp(), kAulasTable, {"ABREV", "NOMBRE", "EDIFICIO", "CODAULA"}),
            (TableRows{{"LAB1", "Laboratorio de Física", "", "LAB1"},
                       {"Lab2", "Laboratorio de Química", "", "Lab1"},
                       {"LAB3", "Laboratorio 2", "", "LAB2"},
                       {"A1", "Aula 1", "", "A1"},
                       {"a11", "Aula 1 bis", "", "a1"}}));
  dbf::Table aulas(htemp(), kAulasTable);
  aulas.Open();
  EXPECT_TRUE(std::holds_alternative<std::monostate>(aulas.Value("MAXALUM")));
}

TEST_F(ProfesoresAulasTest, LongClassroomCodesGetUniqueAbbreviationsAndAreRecognised) {
  WriteXade(kAulasFile, {CsvLine({"LABORATORIO1", "Laboratorio 1"}), CsvLine({"LABORATORIO2", "Laboratorio 2"}),
                         CsvLine({"LABORATORIO1", "Laboratorio 1"}), CsvLine({"laboratorio3", "Laboratorio 3"})});
  RunAulas();
  EXPECT_EQ(ReadRows(htemp(), kAulasTable, {"ABREV", "CODAULA"}),
            (TableRows{{"LABORATORI", "LABORATORI"}, {"LAB1", "LABORATORI"}, {"lab2", "laboratori"}}));
  ExpectUniqueAbbreviations(kAulasTable, "ABREV");
}

// ------------------------------------------------------------ both

struct StepCase {
  const char* name;
  void (*step)(ImportStepContext&);
  const char* file;
  const char* table;
  const char16_t* missingMessage;
};

const StepCase kSteps[] = {
    {"teachers", LeerProfesores, kProfesoresFile, kProfesoresTable,
     u"No existe archivo de profesores (profesoresGrupoCentro.csv)"},
    {"classrooms", LeerAulas, kAulasFile, kAulasTable, u"No existe archivo de Aulas (aulasCentro.CSV)"},
};

TEST_F(ProfesoresAulasTest, AMissingFileIsReportedAndLeavesTheEarlierTable) {
  for (const auto& c : kSteps) {
    SCOPED_TRACE(c.name);
    ResetHtemp();
    state = RunState{};
    dialog.said.clear();
    WriteXade(c.file, {CsvLine({"OLD1", "Vello", "Vello"})});
    ImportStepContext context = Context();
    c.step(context);
    std::filesystem::remove(xade() / c.file);
    c.step(context);
    EXPECT_EQ(dialog.said, std::vector<std::u16string>{c.missingMessage});
    EXPECT_EQ(state.nTransformado, -1);
    EXPECT_EQ(ReadRows(htemp(), c.table, {"ABREV"}).size(), 1u);
  }
}

TEST_F(ProfesoresAulasTest, AFileWithOnlyItsHeaderGivesAnEmptyTable) {
  for (const auto& c : kSteps) {
    SCOPED_TRACE(c.name);
    WriteXade(c.file, {});
    ImportStepContext context = Context();
    c.step(context);
    EXPECT_TRUE(ReadRows(htemp(), c.table, {"ABREV"}).empty());
    EXPECT_TRUE(dialog.said.empty());
    EXPECT_EQ(state.nTransformado, 0);
  }
}

TEST_F(ProfesoresAulasTest, ALineWithTooFewFieldsStopsTheStepNamingFileAndLine) {
  const struct {
    const StepCase& step;
    std::string line;
    std::string message;
  } cases[] = {
      {kSteps[0], "E9,G1", "List index out of bounds (2)"},
      {kSteps[0], "", "List index out of bounds (2)"},
      {kSteps[1], "A9", "List index out of bounds (1)"},
      {kSteps[1], "", "List index out of bounds (0)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.step.name) + ": " + c.line);
    WriteXade(c.step.file, {CsvLine({"C1", "Nome", "Nome"}), c.line});
    ImportStepContext context = Context();
    try {
      c.step.step(context);
      ADD_FAILURE() << "no error";
    } catch (const Error& error) {
      EXPECT_EQ(error.what(), c.message);
      EXPECT_NE(error.file().find(c.step.file), std::string::npos) << error.file();
      EXPECT_EQ(error.line(), 3);
    }
    EXPECT_EQ(ReadRows(htemp(), c.step.table, {"ABREV"}).size(), 1u);
  }
}

}  // namespace
}  // namespace ludaro
