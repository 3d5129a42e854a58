#include "import/importacion.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>

#include "common/dbf/table.h"
#include "common/platform/platform.h"
#include "common/utf.h"
#include "import/import_tables.h"
#include "import/level_grid.h"
#include "tests/import_fixture.h"

namespace ludaro {
namespace {

using test::ImportFixture;
using test::ReadRows;
using test::TableRows;
using Phase = Importacion::Phase;

const std::vector<std::string> kCourseFields = {"ABREV", "TURNO", "NIVEL", "CURSO", "NOMECURSO", "CODCURSO"};
const std::vector<std::string> kGroupFields = {"ABREV",          "TURNO",
                                               "NIVEL",          "CURSO",
                                               "GRUPO",          "MARCO",
                                               "NUMALUMN",       "DESCRIP",
                                               "TUTOR",          "CODGRUXADE",
                                               "CODSUBGRUXADE",  "CODCURSOXADE",
                                               "NOMEGRUPOXADE",  "NOMEABREVGRUPXADE",
                                               "NOMESUBGRUXADE", "NOMEABREVSUBGRUXADE",
                                               "NOMECURSOXADE"};

const std::u16string kRecoveryQuestion =
    u"? Recuperación de Niveles y Cursos importados anteriormente | Existen Niveles y Cursos ya definidos de una "
    u"Importación anterior.\n\r¿Quiere recuperar las codificaciones introducidas anteriormente?";

std::vector<std::string> FieldLayout(const std::filesystem::path& folder, const std::string& table) {
  dbf::Table handle(folder, table);
  handle.Open();
  std::vector<std::string> layout;
  for (const auto& field : handle.Fields())
    layout.push_back(field.name + ":" + field.type + std::to_string(field.width));
  return layout;
}

bool Exists(const std::filesystem::path& folder, const std::string& file) {
  return platform::FindFileIgnoringCase(folder / file).has_value();
}

class ImportacionTest : public ::testing::Test, public ImportFixture {};

// ------------------------------------------------------------ main path

TEST_F(ImportacionTest, AWholeImportWritesEveryTableAndFinishes) {
  NewSession(2);
  ImportSmallSchool();

  EXPECT_EQ(session().phase(), Phase::Finished);
  EXPECT_EQ(dialog.said, std::vector<std::u16string>{u"Proceso finalizado"});
  EXPECT_EQ(state.nTransformado, 1);
  EXPECT_EQ(state.nFalloNiveles, 0);
  EXPECT_TRUE(state.closeRequested);
  EXPECT_FALSE(dialog.busy);
  const ImportacionView& view = session().view();
  EXPECT_FALSE(view.exportarEnabled || view.importarEnabled || view.folderListsShown);
  EXPECT_FALSE(view.convocatoriaPanelShown || view.levelPanelShown);

  EXPECT_EQ(FieldLayout(htemp(), "CONVOCAXADE"), (std::vector<std::string>{"CONVOCATORIA:C10", "DESCRIPCION:C60"}));
  EXPECT_EQ(ReadRows(htemp(), "CONVOCAXADE", {"CONVOCATORIA", "DESCRIPCION"}),
            (TableRows{{"C1", "Curso 2025/2026, ordinaria"}, {"C2", "Extraordinaria"}}));

  const std::vector<std::string> courseLayout = {"ABREV:C3", "TURNO:C1",      "NIVEL:C5",
                                                 "CURSO:C3", "NOMECURSO:C50", "CODCURSO:C10"};
  EXPECT_EQ(FieldLayout(htemp(), "CURSOST"), courseLayout);
  EXPECT_EQ(FieldLayout(htemp(), "CURSOST2"), courseLayout);
  const TableRows coded = {{"", "T", "BAC", "2", u8"2º Bacharelato, Ciencias", "BAC2"},
                           {"", "M", "ESO", "1", u8"1º ESO", "ESO1"}};
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", kCourseFields, "CODCURSO"), coded);
  EXPECT_EQ(ReadRows(htemp(), "CURSOST2", kCourseFields, "CODCURSO"), coded);
  EXPECT_TRUE(Exists(htemp(), "CURSOST.MDX"));
  EXPECT_TRUE(Exists(htemp(), "CURSOST2.MDX"));

  EXPECT_EQ(FieldLayout(htemp(), "GRUPOST"),
            (std::vector<std::string>{"ABREV:C10", "TURNO:C1", "NIVEL:C5", "CURSO:C3", "GRUPO:C2", "MARCO:C1",
                                      "NUMALUMN:C2", "DESCRIP:C80", "TUTOR:C10", "CODGRUXADE:C15", "CODSUBGRUXADE:C15",
                                      "CODCURSOXADE:C15", "NOMEGRUPOXADE:C100", "NOMEABREVGRUPXADE:C100",
                                      "NOMESUBGRUXADE:C100", "NOMEABREVSUBGRUXADE:C100", "NOMECURSOXADE:C100"}));
  EXPECT_FALSE(Exists(htemp(), "GRUPOST.MDX"));
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", kGroupFields),
            (TableRows{
                {"ESO1A", "M", "ESO", "1", "A", "0", "", u8"1º ESO / A", "", "G11", "", "ESO1", "A", "1A", "", "",
                 u8"1º ESO"},
                {"ESO1B", "M", "ESO", "1", "B", "0", "", u8"1º ESO (outro nome) / B", "", "G12", "", "ESO1", "B", "1B",
                 "", "", u8"1º ESO (outro nome)"},
                {"BAC2A", "T", "BAC", "2", "A", "0", "", u8"2º Bacharelato, Ciencias / A", "", "G21", "", "BAC2", "A",
                 "2BA", "", "", u8"2º Bacharelato, Ciencias"},
                {"ESO1A1", "M", "ESO", "1", "1", "0", "", "Desdobre (Lab1)", "", "G11", "S111", "ESO1", "A", "1A",
                 "Lab1", "L1", u8"1º ESO"},
                {"ESO1A2", "M", "ESO", "1", "2", "0", "", "Desdobre (Lab2)", "", "G11", "S112", "ESO1", "A", "1A",
                 "Lab2", "L2", u8"1º ESO"},
            }));
}

TEST_F(ImportacionTest, TheConvocatoriaFilterIsExactAndCaseSensitive) {
  WriteXade("convocatoriasCentro.csv", {"C1,Primeira", "c1,Minúscula", "C10,Outra"});
  WriteXade("gruposCentro.csv", {
                                    "C1,K1,G1,A,Un,A",
                                    "c1,K2,G2,A,Dous,A",
                                    "C10,K3,G3,A,Tres,A",
                                    "C1 ,K4,G4,A,Catro,A",  // unquoted blank: a field separator
                                    "\"C1 \",K5,G5,A,Cinco,A",
                                    "C1,K6,G6,A,Seis,A",
                                });
  NewSession();
  session().Iniciar(xade());
  // The first row is the one chosen when the user moves nowhere.
  EXPECT_EQ(U16ToUtf8(session().convocatorias().AsString("CONVOCATORIA")), "C1");
  session().Continuar();
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", {"CODCURSO", "NOMECURSO"}),
            (TableRows{{"K1", "Un"}, {"K4", "Catro"}, {"K6", "Seis"}}));
}

TEST_F(ImportacionTest, TheFirstLineOfACourseDecidesItsName) {
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  WriteXade("gruposCentro.csv", {
                                    "C1,K1,G1,A,\"Primeiro nome\",A",
                                    "C1,K1,G2,B,\"Segundo nome\",B",
                                    // Codes longer than the field are one course all the same.
                                    "C1,CODIGOLONGO1,G3,A,Longo,A",
                                    "C1,CODIGOLONGO2,G4,B,Longo bis,B",
                                });
  StartAndContinue(u"C1");
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", {"CODCURSO", "NOMECURSO"}),
            (TableRows{{"K1", "Primeiro nome"}, {"CODIGOLONG", "Longo"}}));
}

TEST_F(ImportacionTest, ASecondConvocatoriaGetsOnlyItsOwnCoursesGroupsAndSubgroups) {
  WriteSmallSchool();
  StartAndContinue(u"C2");
  Code({{u"ESO1", {u"", u"ESO", u"1"}}});
  session().Aceptar();
  EXPECT_EQ(session().phase(), Phase::Finished);
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV", "TURNO", "CODGRUXADE", "CODSUBGRUXADE"}),
            (TableRows{{"ESO1A", "", "G91", ""}, {"ESO1A1", "", "G91", "S911"}}));
}

// ------------------------------------------------------------ level coding

TEST_F(ImportacionTest, TheCheckWantsNivelAndCursoButNotTurno) {
  const struct {
    const char* name;
    std::u16string turno, nivel, curso;
    bool passes;
  } cases[] = {
      {"complete", u"M", u"ESO", u"1", true},     {"empty TURNO", u"", u"ESO", u"1", true},
      {"empty NIVEL", u"M", u"", u"1", false},    {"empty CURSO", u"M", u"ESO", u"", false},
      {"blank NIVEL", u"M", u"   ", u"1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetHtemp();
    NewSession();
    WriteSmallSchool();
    StartAndContinue(u"C1");
    Code({{u"ESO1", {c.turno, c.nivel, c.curso}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
    session().Aceptar();
    EXPECT_EQ(state.nFalloNiveles, c.passes ? 0 : 1);
    if (c.passes) {
      EXPECT_EQ(session().phase(), Phase::Finished);
      continue;
    }
    EXPECT_EQ(session().phase(), Phase::CheckFailed);
    const ImportacionView& view = session().view();
    EXPECT_TRUE(view.levelPanelShown && view.warningShown && view.volverShown);
    EXPECT_FALSE(view.aceptarShown);
    EXPECT_TRUE(dialog.said.empty());
    EXPECT_FALSE(Exists(htemp(), "CURSOST2.DBF"));
    EXPECT_FALSE(Exists(htemp(), "GRUPOST.DBF"));
    ASSERT_EQ(session().incompletos().size(), 1u);
    EXPECT_EQ(session().incompletos()[0].codCurso, u"ESO1");
    EXPECT_EQ(state.nTransformado, 1);

    // Back to the data, complete the coding, accept.
    session().Volver();
    EXPECT_EQ(session().phase(), Phase::CodingLevels);
    EXPECT_FALSE(session().view().warningShown || session().view().volverShown);
    EXPECT_TRUE(session().view().aceptarShown);
    Code({{u"ESO1", {u"M", u"ESO", u"1"}}});
    session().Aceptar();
    EXPECT_EQ(session().phase(), Phase::Finished);
  }
}

TEST_F(ImportacionTest, AConvocatoriaWithoutCoursesShowsAnEmptyGridThatPassesTheCheck) {
  WriteSmallSchool();
  WriteXade("convocatoriasCentro.csv", {"C3,Sen grupos"});
  StartAndContinue(u"C3");
  EXPECT_EQ(session().phase(), Phase::CodingLevels);
  EXPECT_EQ(session().cursos().RecordCount(), 0u);
  session().EntrarRejillaNiveles();  // the grid adds no row by itself
  session().Aceptar();
  EXPECT_EQ(session().phase(), Phase::Finished);
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", kCourseFields).size(), 0u);
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV"}).size(), 0u);
}

TEST_F(ImportacionTest, TheRecoveryQuestionBringsBackOrForgetsTheSavedCoding) {
  for (const bool recover : {true, false}) {
    SCOPED_TRACE(recover ? "OK" : "Cancel");
    ResetHtemp();
    NewSession();
    ImportSmallSchool();
    ASSERT_EQ(session().phase(), Phase::Finished);

    // A second import of a school with one course more.
    WriteXade("gruposCentro.csv", {"C1,ESO1,G11,A,\"1º ESO\",1A", "C1,BAC2,G21,A,Bac,2BA", "C1,NOVO,G31,A,Novo,NA"});
    NewSession();
    dialog.answers = {recover};
    StartAndContinue(u"C1");
    EXPECT_EQ(dialog.said, std::vector<std::u16string>{kRecoveryQuestion});
    const TableRows grid = ReadRows(htemp(), "CURSOST", {"CODCURSO", "TURNO", "NIVEL", "CURSO"}, "CODCURSO");
    EXPECT_EQ(grid, recover ? (TableRows{{"BAC2", "T", "BAC", "2"}, {"ESO1", "M", "ESO", "1"}, {"NOVO", "", "", ""}})
                            : (TableRows{{"BAC2", "", "", ""}, {"ESO1", "", "", ""}, {"NOVO", "", "", ""}}));
    EXPECT_EQ(Exists(htemp(), "CURSOST2.DBF"), recover);
    EXPECT_TRUE(Exists(htemp(), "CURSOST2.MDX"));  // left behind on Cancel, replaced on the next save

    Code({{u"NOVO", {u"", u"NOV", u"1"}}, {u"ESO1", {u"N", u"ESO", u"1"}}});
    if (!recover) Code({{u"BAC2", {u"T", u"BAC", u"2"}}});
    session().Aceptar();
    ASSERT_EQ(session().phase(), Phase::Finished);
    // Known rows updated in place (the saved name stays), the new course appended.
    EXPECT_EQ(ReadRows(htemp(), "CURSOST2", {"CODCURSO", "TURNO", "NIVEL", "CURSO", "NOMECURSO"}),
              recover ? (TableRows{{"BAC2", "T", "BAC", "2", u8"2º Bacharelato, Ciencias"},
                                   {"ESO1", "N", "ESO", "1", u8"1º ESO"},
                                   {"NOVO", "", "NOV", "1", "Novo"}})
                      : (TableRows{{"BAC2", "T", "BAC", "2", "Bac"},
                                   {"ESO1", "N", "ESO", "1", u8"1º ESO"},
                                   {"NOVO", "", "NOV", "1", "Novo"}}));
    EXPECT_EQ(ReadRows(htemp(), "CURSOST2", {"CODCURSO"}, "CODCURSO"), (TableRows{{"BAC2"}, {"ESO1"}, {"NOVO"}}));
  }
}

TEST_F(ImportacionTest, VolverAsksTheRecoveryQuestionAgainAndCancelThenForgets) {
  ImportSmallSchool();
  NewSession();
  dialog.answers = {true, false};
  StartAndContinue(u"C1");
  Code({{u"ESO1", {u"M", u"", u"1"}}});
  session().Aceptar();
  ASSERT_EQ(session().phase(), Phase::CheckFailed);
  session().Volver();  // Cancel: the saved coding is deleted although it is open from the first answer
  EXPECT_EQ(dialog.said, (std::vector<std::u16string>{kRecoveryQuestion, kRecoveryQuestion}));
  EXPECT_FALSE(Exists(htemp(), "CURSOST2.DBF"));
  Code({{u"ESO1", {u"M", u"ESO", u"1"}}});
  session().Aceptar();
  EXPECT_EQ(session().phase(), Phase::Finished);
  EXPECT_EQ(ReadRows(htemp(), "CURSOST2", {"CODCURSO", "NIVEL"}, "CODCURSO"),
            (TableRows{{"BAC2", "BAC"}, {"ESO1", "ESO"}}));
}

// ------------------------------------------------------------ missing input

TEST_F(ImportacionTest, AMissingFolderIsReportedAndEndsTheRunOnlyOnBehalfOfHoralia) {
  for (const std::int32_t nParam : {0, 2}) {
    NewSession(nParam);
    session().Iniciar(xade() / "nada");
    EXPECT_EQ(dialog.said, std::vector<std::u16string>{u"No existe la carpeta"});
    EXPECT_EQ(session().phase(), Phase::NotStarted);
    EXPECT_EQ(state.nTransformado, nParam == 2 ? -1 : 0);
    EXPECT_EQ(state.closeRequested, nParam == 2);
    EXPECT_TRUE(session().view().exportarEnabled && session().view().folderListsShown);
  }
}

TEST_F(ImportacionTest, MissingInputFilesAreReportedWithTheirResultCodes) {
  const struct {
    const char* missing;
    std::vector<std::u16string> said;
    std::int32_t result;
    Phase phase;
  } cases[] = {
      {"convocatoriasCentro.csv", {u"No existe archivo de Convocatorias(convocatoriasCentro.CSV)"}, -1, Phase::Stopped},
      {"gruposCentro.csv",
       {u"No existe archivo de Grupos(gruposCentro.CSV)", u"No existe archivo de Grupos (gruposCentro.CSV)",
        u"Proceso finalizado"},
       -1,
       Phase::Finished},
      {"subgruposCentro.csv",
       {u"No existe archivo de Sub-Grupos (subgruposCentro.CSV)", u"Proceso finalizado"},
       1,
       Phase::Finished},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    ResetHtemp();
    NewSession(2);
    WriteSmallSchool();
    std::filesystem::remove(xade() / c.missing);
    session().Iniciar(xade());
    if (session().phase() == Phase::ChoosingConvocatoria) {
      session().Continuar();
      for (const char16_t* code : {u"ESO1", u"BAC2"}) session().CodificarCurso(code, u"", u"N", u"1");
      session().Aceptar();
    }
    EXPECT_EQ(dialog.said, c.said);
    EXPECT_EQ(state.nTransformado, c.result);
    EXPECT_EQ(session().phase(), c.phase);
    EXPECT_EQ(state.closeRequested, c.phase == Phase::Finished);
    EXPECT_FALSE(session().view().importarEnabled || session().view().folderListsShown);
  }
}

TEST_F(ImportacionTest, XadeFileNamesAreFoundWhateverTheirLetterCase) {
  WriteSmallSchool();
  std::filesystem::rename(xade() / "gruposCentro.csv", xade() / "GRUPOSCENTRO.CSV");
  StartAndContinue(u"C1");
  EXPECT_EQ(session().cursos().RecordCount(), 2u);
}

// ------------------------------------------------------------ abbreviations

TEST_F(ImportacionTest, GroupAbbreviationsTakeLetterSuffixesIgnoringCase) {
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  WriteXade("gruposCentro.csv", {
                                    "C1,E2,G1,A,ESO,x",
                                    "C1,E2,G2,A,ESO,x",
                                    "C1,E2,G3,a,ESO,x",
                                    "C1,E2,G4,B,ESO,x",
                                    "C1,CI,G5,ABCD,Ciclo,x",
                                    "C1,CI,G6,ABCD,Ciclo,x",
                                    "C1,CI,G7,ABCD,Ciclo,x",
                                    "C1,E2,G8,,ESO,x",
                                });
  StartAndContinue(u"C1");
  Code({{u"E2", {u"", u"ESO", u"2"}}, {u"CI", {u"", u"CICLO", u"2"}}});
  session().Aceptar();
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV", "GRUPO"}), (TableRows{{"ESO2A", "A"},
                                                                         {"ESO2AA", "A"},
                                                                         {"ESO2aB", "a"},
                                                                         {"ESO2B", "B"},
                                                                         {"CICLO2ABCD", "AB"},
                                                                         {"CICLO2ABCA", "AB"},
                                                                         {"CICLO2ABCB", "AB"},
                                                                         {"ESO2", ""}}));
}

TEST_F(ImportacionTest, SubgroupsAreNumberedAfterTheirParent) {
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  WriteXade("gruposCentro.csv", {"C1,E2,G1,A,ESO,x", "C1,E2,G2,A1,ESO,x", "C1,E2,G3,B,ESO,x"});
  std::vector<std::string> subgroups;
  for (int i = 1; i <= 11; ++i) subgroups.push_back("G1,S" + std::to_string(i) + ",D,N" + std::to_string(i) + ",n");
  subgroups.push_back("G3,T1,D,N,n");
  subgroups.push_back("G3,T1,D,N,n");  // a repeated line is one more subgroup
  subgroups.push_back("G9,X1,D,N,n");  // no such parent: skipped
  WriteXade("subgruposCentro.csv", subgroups);
  StartAndContinue(u"C1");
  Code({{u"E2", {u"", u"ESO", u"2"}}});
  session().Aceptar();
  const TableRows rows = ReadRows(htemp(), "GRUPOST", {"ABREV", "GRUPO", "CODSUBGRUXADE"});
  // ESO2A1 belongs to the group named A1, so the first subgroup of ESO2A is 2.
  const TableRows expected = {
      {"ESO2A", "A", ""},      {"ESO2A1", "A1", ""},    {"ESO2B", "B", ""},    {"ESO2A2", "2", "S1"},
      {"ESO2A3", "3", "S2"},   {"ESO2A4", "4", "S3"},   {"ESO2A5", "5", "S4"}, {"ESO2A6", "6", "S5"},
      {"ESO2A7", "7", "S6"},   {"ESO2A8", "8", "S7"},   {"ESO2A9", "9", "S8"}, {"ESO2A10", "0", "S9"},
      {"ESO2A11", "1", "S10"}, {"ESO2A12", "2", "S11"}, {"ESO2B1", "1", "T1"}, {"ESO2B2", "2", "T1"},
  };
  EXPECT_EQ(rows, expected);
}

// ------------------------------------------------------------ mended faults

// Every stored ABREV of GRUPOST unique without regard to case, non-empty, at most 10.
void ExpectUniqueAbbreviations(const std::filesystem::path& htemp, std::size_t rows) {
  const TableRows stored = ReadRows(htemp, "GRUPOST", {"ABREV"});
  EXPECT_EQ(stored.size(), rows);
  std::set<std::u16string> folded;
  for (const auto& row : stored) {
    const std::u16string abbreviation = Utf8ToU16(row[0]);
    EXPECT_FALSE(abbreviation.empty());
    EXPECT_LE(abbreviation.size(), 10u) << row[0];
    std::u16string lower = abbreviation;
    for (auto& c : lower) c = static_cast<char16_t>(c < 128 ? std::tolower(c) : c);
    EXPECT_TRUE(folded.insert(lower).second) << "twice: " << row[0];
  }
}

TEST_F(ImportacionTest, StoredAbbreviationsAreUniqueWhereLimitsAndCutsWouldRepeatThem) {
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  std::vector<std::string> groups, subgroups;
  // 40 groups of one name: past the 25 letters A..Y.
  for (int i = 0; i < 40; ++i) groups.push_back("C1,E2,R" + std::to_string(i) + ",A,ESO,x");
  // Long group names: bases of 11 and more characters that share their first 10.
  for (const char* name : {"Ciencias1", "Ciencias2", "Ciencias3", "CienciasXX"})
    groups.push_back(std::string("C1,BA,L") + name + "," + name + ",Bac,x");
  // A group whose abbreviation fills the field, and one of 9 characters.
  groups.push_back("C1,CI,F10,ABCD,Ciclo,x");
  groups.push_back("C1,CI,F9,ABC,Ciclo,x");
  for (int i = 0; i < 12; ++i) {
    subgroups.push_back("F10,S" + std::to_string(i) + ",D,N,n");
    subgroups.push_back("F9,T" + std::to_string(i) + ",D,N,n");
  }
  for (int i = 0; i < 120; ++i) subgroups.push_back("R0,U" + std::to_string(i) + ",D,N,n");
  WriteXade("gruposCentro.csv", groups);
  WriteXade("subgruposCentro.csv", subgroups);
  StartAndContinue(u"C1");
  Code({{u"E2", {u"", u"ESO", u"2"}}, {u"BA", {u"", u"BACH", u"1"}}, {u"CI", {u"", u"CICLO", u"2"}}});
  session().Aceptar();
  ASSERT_EQ(session().phase(), Phase::Finished);
  ExpectUniqueAbbreviations(htemp(), 40 + 4 + 2 + 24 + 120);

  const TableRows stored = ReadRows(htemp(), "GRUPOST", {"ABREV"});
  // Where the letters A..Y already give a unique value, they are kept.
  EXPECT_EQ(stored[1][0], "ESO2AA");
  EXPECT_EQ(stored[25][0], "ESO2AY");
  EXPECT_EQ(stored[26][0], "ESO2AZ");
  EXPECT_EQ(stored[27][0], "ESO2A0");
  EXPECT_EQ(stored[36][0], "ESO2A9");
  EXPECT_EQ(stored[37][0], "ESO2AAA");
  EXPECT_EQ(stored[40][0], "BACH1Cienc");
  EXPECT_EQ(stored[41][0], "BACH1CienA");
  EXPECT_EQ(stored[44][0], "CICLO2ABCD");
  EXPECT_EQ(stored[45][0], "CICLO2ABC");
  EXPECT_EQ(stored[46][0], "CICLO2ABC1");  // first subgroup of the full parent: a digit replaces its last letter
  EXPECT_EQ(stored[47][0], "CICLO2ABC2");  // the 9-character parent's own 1 is taken
}

TEST_F(ImportacionTest, GroupsOfCoursesWithLongNamesAreKept) {
  const std::string longName = "Ciclo Formativo de Grao Superior en Administración e Finanzas";  // > 50
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  WriteXade("gruposCentro.csv", {"C1,CS1,G1,A,\"" + longName + "\",A", "C1,CS1,G2,B,\"" + longName + "\",B"});
  StartAndContinue(u"C1");
  Code({{u"CS1", {u"", u"CSAF", u"1"}}});
  session().Aceptar();
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV", "NOMECURSOXADE"}),
            (TableRows{{"CSAF1A", longName}, {"CSAF1B", longName}}));
}

TEST_F(ImportacionTest, AChainStoppedByAnErrorCannotRunAgain) {
  WriteSmallSchool();
  WriteXade("subgruposCentro.csv", {"G11,S1,Desdobre,Lab1,L1", "G11,S2,Desdobre"});
  NewSession(2);
  StartAndContinue(u"C1");
  Code({{u"ESO1", {u"", u"ESO", u"1"}}, {u"BAC2", {u"", u"BAC", u"2"}}});
  try {
    session().Aceptar();
    FAIL() << "the short subgroup line was accepted";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (3)");
    EXPECT_EQ(error.line(), 3);
    EXPECT_NE(error.file().find("subgruposCentro.csv"), std::string::npos) << error.file();
  }
  EXPECT_EQ(session().phase(), Phase::Stopped);
  const ImportacionView& view = session().view();
  EXPECT_FALSE(view.levelPanelShown || view.aceptarShown || view.volverShown || view.levelGridEditable);
  EXPECT_FALSE(dialog.busy);
  EXPECT_EQ(state.nTransformado, 1);
  EXPECT_FALSE(state.closeRequested);
  const TableRows before = ReadRows(htemp(), "GRUPOST", {"ABREV"});
  EXPECT_EQ(before, (TableRows{{"ESO1A"}, {"ESO1B"}, {"BAC2A"}, {"ESO1A1"}}));

  session().Aceptar();
  session().Volver();
  EXPECT_TRUE(dialog.said.empty());
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV"}), before);
}

TEST_F(ImportacionTest, ContinuarWorksAgainAfterAStoppedCourseStep) {
  WriteSmallSchool();
  WriteXade("gruposCentro.csv", {"C1,ESO1,G11,A,\"1º ESO\",1A", "C1"});
  NewSession();
  session().Iniciar(xade());
  EXPECT_EQ(test::MessageOf([&] { session().Continuar(); }), "List index out of bounds (1)");
  EXPECT_EQ(session().phase(), Phase::ChoosingConvocatoria);
  EXPECT_TRUE(session().view().convocatoriaPanelShown);

  WriteSmallSchool();
  session().Continuar();
  EXPECT_EQ(session().phase(), Phase::CodingLevels);
  EXPECT_EQ(ReadRows(htemp(), "CURSOST", {"CODCURSO"}), (TableRows{{"ESO1"}, {"BAC2"}}));
}

// ------------------------------------------------------------ bad input

TEST_F(ImportacionTest, AShortConvocatoriaLineStopsTheImportKeepingTheRowsBeforeIt) {
  WriteXade("convocatoriasCentro.csv", {"C1,Una", "", "C3,Tres"});
  NewSession();
  try {
    session().Iniciar(xade());
    FAIL() << "accepted an empty line";
  } catch (const Error& error) {
    EXPECT_STREQ(error.what(), "List index out of bounds (0)");
    EXPECT_EQ(error.line(), 3);
  }
  EXPECT_EQ(session().phase(), Phase::Stopped);
  EXPECT_FALSE(session().view().convocatoriaPanelShown);
  EXPECT_EQ(state.nTransformado, 1);
  EXPECT_EQ(ReadRows(htemp(), "CONVOCAXADE", {"CONVOCATORIA"}), (TableRows{{"C1"}}));
}

TEST_F(ImportacionTest, ADamagedOrOlderSavedCodingIsAClearError) {
  const struct {
    const char* name;
    std::function<void(const std::filesystem::path&)> spoil;
    const char* expected;
  } cases[] = {
      {"cut short", [](const std::filesystem::path& file) { std::filesystem::resize_file(file, 40); }, "CURSOST2"},
      {"not a table", [](const std::filesystem::path& file) { test::WriteBytes(file, "no soy una tabla"); },
       "CURSOST2"},
      {"older layout",
       [](const std::filesystem::path& file) {
         dbf::Table old(file.parent_path(), "CURSOST2");
         old.Create({{dbf::FieldDef::Text("CODCURSO", 10), dbf::FieldDef::Text("NIVEL", 5)}, {"CODCURSO"}});
       },
       "lacks the field ABREV"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetHtemp();
    NewSession();
    ImportSmallSchool();
    c.spoil(htemp() / "CURSOST2.DBF");
    NewSession();
    WriteSmallSchool();
    session().Iniciar(xade());
    const std::string message = test::MessageOf([&] { session().Continuar(); });
    EXPECT_NE(message.find(c.expected), std::string::npos) << message;
    EXPECT_EQ(message.find("(no error)"), std::string::npos);
  }
}

TEST_F(ImportacionTest, ALargeGroupsFileWithBomCrlfQuotesAndAccentsImports) {
  constexpr int kCourses = 50;
  constexpr int kGroupsPerCourse = 2000;
  std::string text =
      "\xEF\xBB\xBF"
      "convocatoria,curso,grupo,nome,nomecurso,abrev\r\n";
  for (int g = 0; g < kGroupsPerCourse; ++g)
    for (int c = 0; c < kCourses; ++c)
      text += "C1,K" + std::to_string(c) + ",G" + std::to_string(c) + "-" + std::to_string(g) + ",Gr" +
              std::to_string(g) + ",\"Ciclo de Educación, nº " + std::to_string(c) + "\",\"á, é\"\r\n";
  test::WriteBytes(xade() / "gruposCentro.csv", text);
  WriteXade("convocatoriasCentro.csv", {"C1,Una"});
  StartAndContinue(u"C1");
  ASSERT_EQ(session().cursos().RecordCount(), static_cast<std::size_t>(kCourses));
  for (int c = 0; c < kCourses; ++c)
    Code({{u"K" + Utf8ToU16(std::to_string(c)), {u"", u"N" + Utf8ToU16(std::to_string(c)), u"1"}}});
  session().Aceptar();
  ASSERT_EQ(session().phase(), Phase::Finished);
  ExpectUniqueAbbreviations(htemp(), kCourses * kGroupsPerCourse);
  const TableRows first = ReadRows(htemp(), "GRUPOST", {"ABREV", "DESCRIP", "NOMEABREVGRUPXADE"});
  EXPECT_EQ(first[0], (std::vector<std::string>{"N01Gr0", u8"Ciclo de Educación, nº 0 / Gr0", u8"á, é"}));
}

// The grid must not let the user type more than the course table keeps, and
// paints exactly the cells that cannot be entered.
TEST(LevelGridTest, EditableColumnsTakeAtMostTheirFieldsWidth) {
  for (const auto& column : kLevelColumns) {
    SCOPED_TRACE(column.field);
    const int width = FieldWidth(CursosTableDef(), column.field);
    EXPECT_EQ(column.maxLength, column.editable ? width : 0);
    EXPECT_EQ(wwDBGridNIVIMPCalcCellColors(column.field), !column.editable);
  }
  for (const auto& column : kConvocatoriaColumns) FieldWidth(ConvocatoriasTableDef(), column.field);
}

}  // namespace
}  // namespace ludaro
