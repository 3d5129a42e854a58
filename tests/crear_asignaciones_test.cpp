#include "import/crear_asignaciones.h"

#include <gtest/gtest.h>

#include "common/dbf/table.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/timetable_tables.h"
#include "tests/import_step_fixture.h"

namespace ludaro {
namespace {

using test::ReadRows;
using test::TableRows;

struct Materia {
  std::string cod;
  bool tarea;
};
struct Oferta {
  std::string cod, codCurso, codTarea;
};

const std::vector<std::string> kTextFields = {"CASIG", "CPROF",    "CGRUP",  "CAULA", "TURNO",
                                              "NIVEL", "CURSO",    "GRUPO",  "SESIONES", "NCONEX",
                                              "CLAVE", "CLAVECURSO", "CTAREA"};

class CrearAsignacionesTest : public test::ImportStepTest {
 protected:
  void WriteMaterias(const std::vector<Materia>& materias) const {
    dbf::Table table(htemp(), kMateriasTable);
    table.Create(MateriasTableDef());
    table.Open();
    for (const auto& materia : materias) {
      table.Append();
      table.SetString("COD", Utf8ToU16(materia.cod));
      table.SetBoolean("ESTAREA", materia.tarea);
      table.Post();
    }
    table.Close();
  }

  void WriteOferta(const std::vector<Oferta>& oferta) const {
    dbf::Table table(htemp(), kOfertaMateriasTable);
    table.Create(OfertaMateriasTableDef());
    table.Open();
    for (const auto& row : oferta) {
      table.Append();
      table.SetString("COD", Utf8ToU16(row.cod));
      table.SetString("CODCURSO", Utf8ToU16(row.codCurso));
      table.SetString("CODTAREA", Utf8ToU16(row.codTarea));
      table.Post();
    }
    table.Close();
  }

  void Run() {
    ImportStepContext context = Context();
    CrearAsignaciones(context);
  }
};

TEST_F(CrearAsignacionesTest, EveryWholeGroupGetsEverySubjectOfItsCourseOnce) {
  const std::string longCourse = "CURSO-LONGO-1234567";  // longer than the group table keeps
  WriteGrupos({
      {"ESO1A", "M", "ESO", "1", "A", "G1", "", "ESO1"},
      {"ESO1A1", "M", "ESO", "1", "A", "G1", "S1", "ESO1"},  // a subgroup
      {"ESO1B", "T", "ESO", "1", "B", "GRUPO-XADE-0002", " ", "ESO1"},
      {"BAC2A", "", "BAC", "2", "A", "G3", "", "BAC2"},
      {"L1A", "", "LON", "1", "A", "G4", "", longCourse},
  });
  WriteMaterias({{"Lingua", false}, {"TIT", true}, {"GAR", false}, {"Titoría", false}, {"Garda", false}});
  WriteOferta({
      {"Lingua", "ESO1", ""},
      {"Titoría", "ESO1", "TIT"},    // a task ASIGNOMT holds
      {"Garda", "ESO1", "GAR"},      // ASIGNOMT holds GAR, but not as a task
      {"Lingua", "ESO1", "TIT"},     // listed twice: the first line decides
      {"Bioloxía", "eso1", ""},      // the course in another letter case
      {"Filosofía", "BAC2", "NONE"}, // a task ASIGNOMT does not hold
      {"Lingua", longCourse, ""},
      {"Xeografía", "ESO1", ""},     // the course's lines interrupted by others'
  });
  Run();

  EXPECT_EQ(Layout(kAsignacionesTable),
            (std::vector<std::string>{"CASIG:C10", "CPROF:C10", "CGRUP:C10", "CAULA:C10", "TURNO:C1", "NIVEL:C5",
                                      "CURSO:C3", "GRUPO:C2", "HORAS:F20", "SESIONES:C20", "NCONEX:C4", "CLAVE:C10",
                                      "CLAVECURSO:C10", "CTAREA:C10"}));
  EXPECT_FALSE(platform::FindFileIgnoringCase(htemp() / "ASIGT.MDX"));
  EXPECT_EQ(ReadRows(htemp(), kAsignacionesTable, kTextFields),
            (TableRows{
                {"Lingua", "", "ESO1A", "", "M", "ESO", "1", "A", "1111", "", "G1", "ESO1", ""},
                {"Titoría", "", "ESO1A", "", "M", "ESO", "1", "A", "1111", "", "G1", "ESO1", "TIT"},
                {"Garda", "", "ESO1A", "", "M", "ESO", "1", "A", "1111", "", "G1", "ESO1", ""},
                {"Xeografía", "", "ESO1A", "", "M", "ESO", "1", "A", "1111", "", "G1", "ESO1", ""},
                {"Lingua", "", "ESO1B", "", "T", "ESO", "1", "B", "1111", "", "GRUPO-XADE", "ESO1", ""},
                {"Titoría", "", "ESO1B", "", "T", "ESO", "1", "B", "1111", "", "GRUPO-XADE", "ESO1", "TIT"},
                {"Garda", "", "ESO1B", "", "T", "ESO", "1", "B", "1111", "", "GRUPO-XADE", "ESO1", ""},
                {"Xeografía", "", "ESO1B", "", "T", "ESO", "1", "B", "1111", "", "GRUPO-XADE", "ESO1", ""},
                {"Filosofía", "", "BAC2A", "", "", "BAC", "2", "A", "1111", "", "G3", "BAC2", ""},
                {"Lingua", "", "L1A", "", "", "LON", "1", "A", "1111", "", "G4", "CURSO-LONG", ""},
            }));
  dbf::Table asignaciones(htemp(), kAsignacionesTable);
  asignaciones.Open();
  for (asignaciones.First(); !asignaciones.Eof(); asignaciones.Next())
    EXPECT_EQ(asignaciones.AsFloat("HORAS"), 4.0);
  EXPECT_TRUE(dialog.said.empty());
  EXPECT_EQ(state.nTransformado, 0);
}

// Abbreviations are unique in a group table the import wrote, but one
// edited elsewhere may repeat one: the pair of group and subject decides.
TEST_F(CrearAsignacionesTest, GroupsSharingAnAbbreviationGetEachSubjectOnce) {
  WriteGrupos({
      {"ESO1A", "M", "ESO", "1", "A", "G1", "", "ESO1"},
      {"ESO1A", "M", "ESO", "1", "A", "G2", "", "ESO2"},  // the same abbreviation, another course
      {"eso1a", "M", "ESO", "1", "A", "G3", "", "ESO1"},  // another letter case: a group of its own
      {"ESO1A", "M", "ESO", "1", "A", "G4", "", "ESO1"},
  });
  WriteMaterias({{"Lingua", false}, {"Bio", false}});
  WriteOferta({{"Lingua", "ESO1", ""}, {"Lingua", "ESO2", ""}, {"Bio", "ESO2", ""}});
  Run();

  EXPECT_EQ(ReadRows(htemp(), kAsignacionesTable, {"CASIG", "CGRUP", "CLAVE"}),
            (TableRows{{"Lingua", "ESO1A", "G1"}, {"Bio", "ESO1A", "G2"}, {"Lingua", "eso1a", "G3"}}));
}

TEST_F(CrearAsignacionesTest, NoGroupsOrNoSubjectsGiveAnEmptyTable) {
  const struct {
    const char* name;
    std::vector<Grupo> grupos;
    std::vector<Oferta> oferta;
  } cases[] = {
      {"no groups", {}, {{"Lingua", "ESO1", ""}}},
      {"no subject of the groups' course", {{"ESO1A", "M", "ESO", "1", "A", "G1", "", "ESO1"}},
       {{"Lingua", "ESO2", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteGrupos(c.grupos);
    WriteMaterias({});
    WriteOferta(c.oferta);
    Run();
    EXPECT_TRUE(ReadRows(htemp(), kAsignacionesTable, {"CASIG"}).empty());
  }
}

TEST_F(CrearAsignacionesTest, AMissingInputTableStopsTheStepNamingIt) {
  for (const char* missing : {"ASIGNOMT", "GRUPOST", "ASIGNOMT2"}) {
    SCOPED_TRACE(missing);
    ResetHtemp();
    WriteGrupos({{"ESO1A", "M", "ESO", "1", "A", "G1", "", "ESO1"}});
    WriteMaterias({});
    WriteOferta({{"Lingua", "ESO1", ""}});
    dbf::DeleteTable(htemp(), missing);
    const std::string message = test::MessageOf([&] { Run(); });
    EXPECT_NE(message.find(std::string(missing) + ".DBF"), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace ludaro
