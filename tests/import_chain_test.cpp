#include "import/import_chain.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "import/importacion.h"
#include "import/timetable_tables.h"
#include "tests/import_step_fixture.h"

namespace ludaro {
namespace {

using test::CsvLine;
using test::ReadRows;
using test::TableRows;
using Phase = Importacion::Phase;

class ImportChainTest : public test::ImportStepTest {
 protected:
  // The small school's subjects, an activity, teachers and classrooms.
  void WriteLaterFiles() const {
    WriteXade("materiasHorarioOfertaCentro.csv",
              {CsvLine({"M1", "ESO1", "0", "Matemáticas", "Matemáticas", "MAT"}),
               CsvLine({"M2", "BAC2", "TIT", "Titoría", "Titoría", "TI"})});
    WriteXade("materiasHorarioOfertaXeral.csv", {CsvLine({"X1", "ESO1", "0", "Matemáticas", "Matemáticas", "MAT"}),
                                                 CsvLine({"X2", "ZZ9", "0", "Chinés", "Chinés", "CH"})});
    WriteXade("actividadesProfesor.csv", {CsvLine({"TIT", "TITORIA", "Titoría de grupo"})});
    WriteXade("profesoresGrupoCentro.csv", {CsvLine({"1001", "G11", "García López, Ana"})});
    WriteXade("aulasCentro.csv", {CsvLine({"A1", "Aula 1"})});
  }
};

TEST_F(ImportChainTest, TheWholeImportWritesTheLaterStepsTables) {
  WriteLaterFiles();
  NewSession(2);
  ImportSmallSchool();

  EXPECT_EQ(session().phase(), Phase::Finished);
  EXPECT_EQ(dialog.said, std::vector<std::u16string>{u"Proceso finalizado"});
  EXPECT_EQ(state.nTransformado, 1);
  EXPECT_EQ(ReadRows(htemp(), kMateriasTable, {"COD", "ESTAREA"}),
            (TableRows{{"M", "False"}, {"Titoría", "False"}, {"TIT", "True"}}));
  EXPECT_EQ(ReadRows(htemp(), kOfertaMateriasTable, {"COD", "CODMATERIA"}),
            (TableRows{{"M", "M1"}, {"Titoría", "M2"}, {"M", "X1"}, {"TIT", ""}}));
  EXPECT_EQ(ReadRows(htemp(), kProfesoresTable, {"ABREV", "X_EMPLEADO"}), (TableRows{{"GLA", "1001"}}));
  EXPECT_EQ(ReadRows(htemp(), kAulasTable, {"ABREV", "CODAULA"}), (TableRows{{"A1", "A1"}}));
  // Matemáticas once per ESO1 group, though offered twice; the subgroups get none.
  EXPECT_EQ(ReadRows(htemp(), kAsignacionesTable, {"CASIG", "CLAVE", "CLAVECURSO", "CTAREA"}),
            (TableRows{{"M", "G11", "ESO1", ""},
                       {"M", "G12", "ESO1", ""},
                       {"Titoría", "G21", "BAC2", "TIT"}}));
}

TEST_F(ImportChainTest, AMissingFileOfALaterStepIsReportedAndTheChainGoesOn) {
  const struct {
    const char* missing;
    const char16_t* message;
  } cases[] = {
      {"materiasHorarioOfertaXeral.csv", u"No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)"},
      {"actividadesProfesor.csv", u"No existe archivo de Actividades (actividadesProfesor.CSV)"},
      {"profesoresGrupoCentro.csv", u"No existe archivo de profesores (profesoresGrupoCentro.csv)"},
      {"aulasCentro.csv", u"No existe archivo de Aulas (aulasCentro.CSV)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    ResetHtemp();
    WriteLaterFiles();
    std::filesystem::remove(xade() / c.missing);
    NewSession(2);
    ImportSmallSchool();
    EXPECT_EQ(dialog.said, (std::vector<std::u16string>{c.message, u"Proceso finalizado"}));
    EXPECT_EQ(state.nTransformado, -1);
    EXPECT_EQ(session().phase(), Phase::Finished);
    EXPECT_FALSE(ReadRows(htemp(), kAsignacionesTable, {"CASIG"}).empty());
  }
}

// Without the school's offer and without the tables of an earlier import,
// the assignments have no subject table to read: the chain stops there.
TEST_F(ImportChainTest, AssignmentsWithoutASubjectTableStopTheImportNamingIt) {
  WriteLaterFiles();
  std::filesystem::remove(xade() / "materiasHorarioOfertaCentro.csv");
  NewSession(2);
  const std::string message = test::MessageOf([&] { ImportSmallSchool(); });
  EXPECT_NE(message.find("ASIGNOMT.DBF"), std::string::npos) << message;
  EXPECT_EQ(dialog.said, std::vector<std::u16string>{
                             u"No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)"});
  EXPECT_EQ(state.nTransformado, -1);
  EXPECT_NE(session().phase(), Phase::Finished);
}

}  // namespace
}  // namespace ludaro
