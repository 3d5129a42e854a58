#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/session/run_report.h"
#include "common/platform/platform.h"
#include "common/version.h"
#include "tests/horalia_tables.h"
#include "tests/import_fixture.h"

namespace ludaro::cli {
namespace {

namespace fs = std::filesystem;

using test::ReadRows;
using test::TableRows;

// Every line of `expected` must be a line of the report, so that a count or
// a file and line cannot pass by being part of a longer one.
void ExpectLines(const std::string& report, const std::vector<std::string>& expected) {
  for (const auto& line : expected)
    EXPECT_NE(("\n" + report + "\n").find("\n" + line + "\n"), std::string::npos)
        << "missing line: " << line << "\nin:\n"
        << report;
}

class ImportReportTest : public ::testing::Test, public test::ImportFixture {
 protected:
  struct Result {
    int status;
    std::string err;
  };

  Result Import(std::vector<std::string> options) {
    std::vector<std::string> arguments = {"import", "--xade", xade().string(), "--htemp", htemp().string()};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::ostringstream out, err;
    const int status = RunCli(arguments, out, err);
    return {status, err.str()};
  }

  std::string Coding() const {
    test::WriteBytes(xade() / "coding.csv", "CODCURSO,TURNO,NIVEL,CURSO\nESO1,M,ESO,1\nBAC2,T,BAC,2\n");
    return (xade() / "coding.csv").string();
  }

  // The later files with a line left out for every reason they have, and
  // abbreviations that cannot be their row's own.
  void WriteLaterFilesWithLeftOuts() const {
    // course, subject, task, key text, name, XADE's abbreviation
    WriteXade("materiasHorarioOfertaCentro.csv",
              {"M1,ESO1,0,MAT,Matemáticas,MAT", "M2,BAC2,0,mat,Matemáticas II,MAT2"});
    WriteXade("materiasHorarioOfertaXeral.csv", {"M8,ESO1,0,LIN,Lingua,LIN", "M9,FP9,0,FP,Formación,FP"});
    // code, key text, name
    WriteXade("actividadesProfesor.csv", {"GARD,Garda,Garda", "MAT,Matemáticas,Reunión"});
    // employee, group, name
    WriteXade("profesoresGrupoCentro.csv",
              {"E1,G11,\"Ana Pena\"", "E2,G11,\"Antonio Pérez\"", "E1,G12,\"Ana Pena\"", "E4,G12,"});
    // code, name
    WriteXade("aulasCentro.csv", {"AULA-GRANDE-1,Grande", "A1,Uno", "A1,Outra"});
  }
};

TEST_F(ImportReportTest, TellsTablesLeftOutLinesAndChangedAbbreviations) {
  WriteSmallSchool();
  WriteLaterFilesWithLeftOuts();
  RunReport report(ReportedDirection::Import);
  NewSession().SetRunLog(report);
  StartAndContinue(u"C1");
  // The groups file changed while the level panel was up: the new course is
  // not in the course table. The group named like the first of its course
  // finds its abbreviation taken; a '|' must not break the report's table.
  WriteXade("gruposCentro.csv", {
                                    "C1,ESO1,G11,A,\"1º ESO\",1A",
                                    "C1,ESO1,G12,B,\"1º ESO\",1B",
                                    "C2,ESO1,G91,A,\"1º ESO\",1A",
                                    "C1,BAC2,G21,A,\"2º Bacharelato\",2BA",
                                    "C1,FP1,G31,A,\"FP\",FA",
                                    "C1,ESO1,G13,a,\"1º ESO\",1a",
                                    "C1,ESO1,G14,C|D-longo,\"1º ESO\",1CD",
                                });
  Code({{u"ESO1", {u"M", u"ESO", u"1"}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
  session().Aceptar();
  ASSERT_EQ(session().phase(), Importacion::Phase::Finished);

  const std::string markdown = report.Markdown();
  ExpectLines(markdown, {
                            "| CONVOCAXADE.DBF | 2 |",
                            "| CURSOST.DBF | 2 |",
                            "| CURSOST2.DBF | 2 |",
                            "| GRUPOST.DBF | 7 |",
                            "| ASIGNOMT.DBF | 4 |",
                            "| ASIGNOMT2.DBF | 4 |",
                            "| PROFT.DBF | 3 |",
                            "| AULAT.DBF | 2 |",
                            "| ASIGT.DBF | 9 |",
                            "### Grupos cuyo curso no está en la tabla de cursos (CURSOST.DBF): 1",
                            "- gruposCentro.csv:6: curso FP1",
                            "### Actividades cuyo código ya tiene una materia o una actividad anterior: 1",
                            "- actividadesProfesor.csv:3: código MAT",
                            "### Aulas que ya figuraban en una línea anterior (mismo código): 1",
                            "- aulasCentro.csv:4: aula A1",
                            "| GRUPOST.DBF | ESO1a | ESO1aA | ya la tiene otra fila |",
                            "| GRUPOST.DBF | ESO1C\\|D-longo | ESO1C\\|D-lo | demasiado larga para el campo |",
                            "| ASIGNOMT.DBF | mat | mat1 | ya la tiene otra fila |",
                            "| PROFT.DBF | AP | AP1 | ya la tiene otra fila |",
                            "| PROFT.DBF | (en blanco) | 1 | sin datos para formarla |",
                            "| AULAT.DBF | AULA-GRANDE-1 | AULA-GRAND | demasiado larga para el campo |",
                            "- Resultado: terminado",
                            "- [Líneas y filas omitidas: 3](#omitidas)",
                            "- [Abreviaturas cambiadas: 6](#abreviaturas)",
                            // What XADE writes by design: one count each, no list.
                            "- 1 línea de grupos de otra convocatoria",
                            "- 1 línea de subgrupos de un grupo no importado",
                            "- 1 materia de la oferta general para un curso no importado",
                            "- 1 línea repetida de profesores ya leídos",
                        });
  // Only what deviates is listed.
  EXPECT_EQ(markdown.find("| GRUPOST.DBF | ESO1A |"), std::string::npos) << markdown;
  for (const char* normal : {"gruposCentro.csv:4:", "subgruposCentro.csv:4:", "materiasHorarioOfertaXeral.csv:3:",
                             "profesoresGrupoCentro.csv:4: empleado"})
    EXPECT_EQ(markdown.find(normal), std::string::npos) << normal;
}

TEST_F(ImportReportTest, ListsAFewLinesOfAReasonAndCountsTheRest) {
  WriteSmallSchool();
  RunReport report(ReportedDirection::Import);
  NewSession().SetRunLog(report);
  StartAndContinue(u"C1");
  // Groups of a course the course table lacks, each listed up to the cap;
  // lines of other convocatorias, however many, are one count.
  std::vector<std::string> groups = {"C1,ESO1,G11,A,\"1º ESO\",1A"};
  const std::size_t others = RunReport::kListedPerReason + 3;
  for (std::size_t i = 0; i < others; ++i) groups.push_back("C1,FP9,G9" + std::to_string(i) + ",A,FP,1A");
  for (std::size_t i = 0; i < others; ++i) groups.push_back("C2,ESO1,G8" + std::to_string(i) + ",A,\"1º ESO\",1A");
  WriteXade("gruposCentro.csv", groups);
  Code({{u"ESO1", {u"M", u"ESO", u"1"}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
  session().Aceptar();

  const std::string markdown = report.Markdown();
  ExpectLines(markdown, {"### Grupos cuyo curso no está en la tabla de cursos (CURSOST.DBF): " + std::to_string(others),
                         "- gruposCentro.csv:3: curso FP9",
                         "- gruposCentro.csv:" + std::to_string(2 + RunReport::kListedPerReason) + ": curso FP9",
                         "- … y 3 más", "- " + std::to_string(others) + " líneas de grupos de otras convocatorias"});
  EXPECT_EQ(markdown.find("gruposCentro.csv:" + std::to_string(3 + RunReport::kListedPerReason) + ":"),
            std::string::npos);
}

TEST_F(ImportReportTest, AStoppedRunSaysWhereAndWhyAndWhatItHadWritten) {
  const struct {
    const char* name;
    std::vector<std::string> options;
    int status;
    std::vector<std::string> lines;
  } cases[] = {
      {"a short line in a later step",
       {"CODING"},
       kExitStopped,
       {"- Código de resultado: 1", "- Estado de salida: 2", "| GRUPOST.DBF | 5 |"}},
      {"the level check",
       {},
       kExitStopped,
       {"- Resultado: **detenido** en el paso ComprobarNiveles: faltan niveles o cursos por codificar; no se guardó "
        "nada",
        "  - curso BAC2 (2º Bacharelato, Ciencias): faltan NIVEL y CURSO", "- Estado de salida: 2",
        "| CURSOST.DBF | 2 |"}},
      {"no convocatorias",
       {"NOCONVOCATORIAS"},
       kExitStopped,
       {"- Resultado: **detenido** en el paso LeerConvocatorias: no hay archivo de convocatorias",
        "- No existe archivo de Convocatorias(convocatoriasCentro.CSV)", "No se escribió ninguna tabla."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ResetHtemp();
    WriteSmallSchool();
    WriteLaterFiles();
    std::vector<std::string> options = {"--report", (htemp() / "report.md").string()};
    for (const auto& option : c.options) {
      if (option == "CODING") {
        WriteXade("materiasHorarioOfertaCentro.csv", {"M1,ESO1,0,MAT"});
        options.insert(options.end(), {"--coding", Coding()});
      } else if (option == "NOCONVOCATORIAS") {
        fs::remove(xade() / "convocatoriasCentro.csv");
      }
    }
    const Result result = Import(options);
    EXPECT_EQ(result.status, c.status) << result.err;
    const std::string markdown = test::ReadBytes(htemp() / "report.md");
    ExpectLines(markdown, c.lines);
    EXPECT_EQ(markdown.find("- Resultado: terminado"), std::string::npos) << markdown;
  }
}

TEST_F(ImportReportTest, AnErrorInsideTheChainIsNamedWithItsStep) {
  WriteSmallSchool();
  WriteXade("materiasHorarioOfertaCentro.csv", {"M1,ESO1,0,MAT"});
  const Result result = Import({"--coding", Coding(), "--report", (xade() / "report.md").string()});
  EXPECT_EQ(result.status, kExitStopped);
  const std::string markdown = test::ReadBytes(xade() / "report.md");
  EXPECT_NE(markdown.find("- Resultado: **detenido** en el paso LeerMaterias: List index out of bounds (4)"),
            std::string::npos)
      << markdown;
  EXPECT_NE(markdown.find("materiasHorarioOfertaCentro.csv, line 2"), std::string::npos) << markdown;
}

TEST_F(ImportReportTest, AQuestionIsToldWithTheButtonOfItsAnswer) {
  WriteSmallSchool();
  ASSERT_EQ(Import({"--coding", Coding()}).status, kExitOk);
  const Result again = Import({"--recover", "no", "--report", (xade() / "report.md").string()});
  EXPECT_EQ(again.status, kExitStopped);
  ExpectLines(test::ReadBytes(xade() / "report.md"),
              {"- Recuperación de Niveles y Cursos importados anteriormente: Existen Niveles y Cursos ya definidos de "
               "una Importación anterior. ¿Quiere recuperar las codificaciones introducidas anteriormente? -\\> "
               "Cancelar"});
}

TEST_F(ImportReportTest, AReportThatCannotBeWrittenIsAnErrorThatKeepsTheTables) {
  WriteSmallSchool();
  // Its folder is missing: refused before the run touches a table.
  const Result refused = Import({"--coding", Coding(), "--report", (xade() / "nada" / "report.md").string()});
  EXPECT_EQ(refused.status, kExitStopped);
  EXPECT_NE(refused.err.find("error: The folder of the report does not exist: " + (xade() / "nada").string()),
            std::string::npos)
      << refused.err;
  EXPECT_FALSE(platform::FileExists(htemp() / "CONVOCAXADE.DBF"));

  // A folder where the report should go: found out only at the end, when the
  // import has written its tables, which stay.
  fs::create_directory(xade() / "report.md");
  const Result late = Import({"--coding", Coding(), "--report", (xade() / "report.md").string()});
  EXPECT_EQ(late.status, kExitStopped);
  EXPECT_NE(late.err.find("Proceso finalizado\nerror: the report was not written: "), std::string::npos) << late.err;
  EXPECT_EQ(ReadRows(htemp(), "GRUPOST", {"ABREV"}),
            (TableRows{{"ESO1A"}, {"ESO1B"}, {"BAC2A"}, {"ESO1A1"}, {"ESO1A2"}}));
  EXPECT_TRUE(fs::is_directory(xade() / "report.md"));
  EXPECT_FALSE(fs::exists(xade() / "report.md.new"));
}

TEST_F(ImportReportTest, AReportReplacesTheLastOneWhole) {
  WriteSmallSchool();
  const fs::path file = xade() / "report.md";
  test::WriteBytes(file, std::string(100000, 'x'));
  const Result result = Import({"--coding", Coding(), "--report", file.string()});
  EXPECT_EQ(result.status, kExitOk) << result.err;
  const std::string markdown = test::ReadBytes(file);
  EXPECT_EQ(markdown.rfind("# Informe de la importación\n", 0), 0u) << markdown;
  EXPECT_EQ(markdown.find('x' + std::string(10, 'x')), std::string::npos);
  ExpectLines(markdown,
              {"- Convocatoria: C1 (Curso 2025/2026, ordinaria)", "- Código de resultado: 1", "- Estado de salida: 0"});
  EXPECT_FALSE(fs::exists(xade() / "report.md.new"));
}

// ------------------------------------------------- the fixture school's report

// The headings of a page, each with its count, in order: "## x" lines of
// Markdown, <h1> to <h3> elements of HTML, as plain text.
std::vector<std::string> MarkdownHeadings(const std::string& page) {
  std::vector<std::string> headings;
  std::istringstream lines(page);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] != '#') continue;
    std::string text;
    for (std::size_t i = line.find(' ') + 1; i < line.size(); ++i) {
      if (line[i] == '\\' && i + 1 < line.size()) ++i;
      text += line[i];
    }
    headings.push_back(text);
  }
  return headings;
}

std::string HtmlUnescaped(std::string text) {
  for (const auto& [entity, character] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}})
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
      text.replace(at, entity.size(), character);
  return text;
}

std::vector<std::string> HtmlHeadings(const std::string& page) {
  std::vector<std::string> headings;
  for (std::size_t at = page.find("<h"); at != std::string::npos; at = page.find("<h", at + 1)) {
    if (at + 3 >= page.size() || page[at + 2] < '1' || page[at + 2] > '3' || page[at + 3] != '>') continue;
    const std::size_t end = page.find("</h", at);
    headings.push_back(HtmlUnescaped(page.substr(at + 4, end - at - 4)));
  }
  return headings;
}

class FixtureSchoolReportTest : public ImportReportTest {
 protected:
  // The school whose files plant one of each warning the import gives.
  void ImportFixtureSchool(RunReport& report) {
    for (const auto& file : fs::directory_iterator(test::Fixture("report_school")))
      fs::copy_file(file.path(), xade() / file.path().filename(), fs::copy_options::overwrite_existing);
    NewSession().SetRunLog(report);
    StartAndContinue(u"C1");
    Code({{u"ESO1", {u"M", u"ESO", u"1"}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
    session().Aceptar();
    ASSERT_EQ(session().phase(), Importacion::Phase::Finished);
    report.Ended(state.nTransformado);
  }
};

TEST_F(FixtureSchoolReportTest, MarkdownAndHtmlShowTheSameSectionsAndCounts) {
  RunReport report(ReportedDirection::Import);
  ImportFixtureSchool(report);
  const std::string markdown = report.Markdown();
  const std::string html = report.Html();
  const std::vector<std::string> headings = MarkdownHeadings(markdown);
  EXPECT_EQ(headings, HtmlHeadings(html));
  // The summary first, then one heading of each warning, each found once.
  ASSERT_GE(headings.size(), 2u);
  EXPECT_EQ(headings[0], "Informe de la importación");
  EXPECT_EQ(headings[1], "Resumen");
  for (const char* warning :
       {"Códigos de empleado con otro nombre en otra línea: 1", "Códigos de curso con otro nombre en otra línea: 1",
        "Códigos de grupo con otro nombre en otra línea: 1", "Materias con otro nombre en otra línea: 1",
        "Códigos de aula con otro nombre en otra línea: 1", "Profesores sin grupo: 1", "Grupos sin materias: 1"}) {
    EXPECT_EQ(std::count(headings.begin(), headings.end(), warning), 1) << warning;
    // The summary links to it in both.
    EXPECT_NE(markdown.find(std::string("[") + warning + "](#aviso-"), std::string::npos) << warning;
    EXPECT_NE(html.find(std::string("\">") + warning + "</a>"), std::string::npos) << warning;
  }
  for (const auto* page : {&markdown, &html}) {
    EXPECT_NE(page->find("2 líneas repetidas de profesores ya leídos"), std::string::npos);
    EXPECT_NE(page->find(std::string("Ludaro ") + kVersion), std::string::npos);
    EXPECT_NE(page->find("profesoresGrupoCentro.csv:5: empleado E2"), std::string::npos);
  }
  // The repeats are a count, not a list of lines.
  EXPECT_EQ(html.find("profesoresGrupoCentro.csv:3:"), std::string::npos);
}

TEST_F(FixtureSchoolReportTest, TheHtmlPageStandsAlone) {
  RunReport report(ReportedDirection::Import);
  ImportFixtureSchool(report);
  const std::string html = report.Html();
  EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">", 0), 0u);
  for (const char* outside : {"<script", "src=", "http:", "https:", "<link", "@import", "url("})
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  // Names as typed, never as markup.
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("&lt;b&gt;Pérez&lt;/b&gt; &amp; &quot;Antonio&quot; 中文"), std::string::npos);
}

// A subject is one key text across both offers: another name for it in the
// general offer is pointed at the line of the school's offer it differs from.
TEST_F(ImportReportTest, ASubjectNamedOtherwiseInTheOtherOfferNamesBothFiles) {
  WriteSmallSchool();
  WriteXade("materiasHorarioOfertaCentro.csv", {"M1,ESO1,0,MAT,Matemáticas,MAT", "M2,ESO1,0,LIN,Lingua,LIN"});
  WriteXade("materiasHorarioOfertaXeral.csv", {"M8,ESO1,0,LIN,Lingua,LIN", "M9,BAC2,0,MAT,Mates,MAT"});
  RunReport report(ReportedDirection::Import);
  NewSession().SetRunLog(report);
  StartAndContinue(u"C1");
  Code({{u"ESO1", {u"M", u"ESO", u"1"}}, {u"BAC2", {u"T", u"BAC", u"2"}}});
  session().Aceptar();
  ExpectLines(report.Markdown(),
              {"### Materias con otro nombre en otra línea: 1",
               "- materiasHorarioOfertaXeral.csv:3: materia MAT: «Mates»; ASIGNOMT.DBF guarda el nombre de la línea "
               "materiasHorarioOfertaCentro.csv:2"});
}

// The window names the convocatoria at each press of "Continuar", which a
// missing course table leaves to be pressed again.
TEST(RunReportTest, ASettingGivenAgainTakesThePlaceOfTheFirst) {
  RunReport report(ReportedDirection::Import);
  report.Setting("Convocatoria", "C1 (ordinaria)");
  report.Setting("Carpeta de trabajo", "/HTEMP");
  report.Setting("Convocatoria", "C2 (extraordinaria)");
  const std::string markdown = report.Markdown();
  ExpectLines(markdown, {"- Convocatoria: C2 (extraordinaria)", "- Carpeta de trabajo: /HTEMP"});
  EXPECT_EQ(markdown.find("C1"), std::string::npos) << markdown;
}

TEST(ReportFileTest, TheRendererFollowsTheExtension) {
  const struct {
    const char* name;
    bool html;
  } cases[] = {{"r.html", true}, {"r.HTM", true}, {"r.Html", true}, {"r.md", false}, {"r", false},
               {"r.html.md", false}, {"html", false}};
  for (const auto& c : cases) EXPECT_EQ(IsHtmlFile(c.name), c.html) << c.name;
}

// ------------------------------------------------------------------ export

TEST(ExportReportTest, TellsTheRowsOfSolucLeftOutAndTheLinesWritten) {
  const test::ExportFolders folders;
  const fs::path& root = folders.root.path();
  const fs::path& htemp = folders.htemp;
  const fs::path& xade = folders.xade;
  test::WriteSchool(htemp);
  test::WriteSoluc(htemp, {
                              {u"MAT", u"P01", u"1A", u"A12", 1, 2, 2},
                              {u"MAT", u"P01", u"1A", u"A12", 0, 0, 1},
                              {u"MAT", u"P09", u"1A", u"A12", 1, 4, 1},
                              {u"XXX", u"P01", u"1A", u"A12", 1, 5, 1},
                          });
  std::ostringstream out, err;
  const int status = RunCli(
      {"export", "--xade", xade.string(), "--htemp", htemp.string(), "--report", (root / "r.md").string()}, out, err);
  EXPECT_EQ(status, kExitOk) << err.str();
  const std::string markdown = test::ReadBytes(root / "r.md");
  ExpectLines(markdown, {
                            "- Plantilla horaria: conservada como estaba",
                            "| HORARIOXADECSV.DBF | 2 |",
                            "| HORARIO.CSV | 2 líneas |",
                            "### Filas del horario del día 0, que Horalia no colocó: 1",
                            "- SOLUC.DBF:2: materia MAT",
                            "### Filas del horario cuyo profesor no está en PROFT.DBF: 1",
                            "- SOLUC.DBF:3: profesor P09",
                            "### Filas del horario cuya materia no ofrece ASIGNOMT2.DBF al curso del grupo: 1",
                            "- SOLUC.DBF:4: materia XXX, curso 2301",
                            "- Estado de salida: 0",
                        });
  EXPECT_EQ(markdown.find("PLANTILLA.DBF"), std::string::npos) << markdown;
}

TEST(ExportReportTest, ABuiltTemplateAndAStoppedExportAreTold) {
  const test::ExportFolders folders;
  const fs::path& root = folders.root.path();
  const fs::path& htemp = folders.htemp;
  const fs::path& xade = folders.xade;
  test::WriteSchoolTranslations(htemp);
  test::WriteSoluc(htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 2, 1}});
  test::WriteBytes(root / "times.csv", "HORA,HORAINI\n2,09:00\n30,10:00\n");
  std::ostringstream out, err;
  const int status = RunCli({"export", "--xade", xade.string(), "--htemp", htemp.string(), "--start-times",
                             (root / "times.csv").string(), "--report", (root / "r.md").string()},
                            out, err);
  EXPECT_EQ(status, kExitStopped) << err.str();
  ExpectLines(test::ReadBytes(root / "r.md"),
              {"- Plantilla horaria: creada con las veinte horas predeterminadas",
               "- Resultado: **detenido** en el paso PlantillaCentro: " + MarkdownText((root / "times.csv").string()) +
                   ", line 3: the hour template has no HORA 30",
               "| PLANTILLA.DBF | 20 |", "- Código de resultado: 0", "- Estado de salida: 2"});
  EXPECT_FALSE(fs::exists(xade / "HORARIO.CSV"));
}

TEST(ExportReportTest, WarnsOfTemplateHoursOutOfOrderAndSessionsAtHoursItLacks) {
  const struct {
    const char* name;
    std::vector<test::PlantillaRow> plantilla;  // empty: the school's own
    std::vector<test::SolucRow> soluc;
    int status;
    std::vector<std::string> lines;
  } cases[] = {
      {"an hour starting before the last one ends, and one before it starts",
       {{1, u"08:00", u"08:55"}, {2, u"08:55", u"09:50"}, {3, u"09:30", u"10:45"}, {4, u"11:05", u"12:00"},
        {5, u"10:00", u"10:55"}, {6, u"", u""}},
       {{u"MAT", u"P01", u"1A", u"A12", 1, 2, 1}},
       kExitOk,
       {"### Horas de la plantilla que se solapan o van hacia atrás: 2",
        "- PLANTILLA.DBF:3: hora 3: empieza a las 09:30, antes de que acabe la hora del registro 2",
        "- PLANTILLA.DBF:5: hora 5: empieza a las 10:00, antes de que acabe la hora del registro 4"}},
      {"a half hour DIASHORAST lacks: its line is written without a start time",
       {},
       {{u"MAT", u"P01", u"1A", u"A12", 2, 7, 0.5}},
       kExitOk,
       {"### Filas del horario en una hora que la plantilla no tiene: 1",
        "- SOLUC.DBF:1: hora 7: materia MAT, grupo 1A, día 2: DIASHORAST.DBF no tiene esa media hora; la línea "
        "queda sin hora de inicio",
        "| HORARIO.CSV | 1 líneas |"}},
      {"hours past the template's end: the export stops, as it always did",
       {},
       {{u"MAT", u"P01", u"1A", u"A12", 1, 6, 2}},
       kExitStopped,
       {"### Filas del horario en una hora que la plantilla no tiene: 1",
        "- SOLUC.DBF:1: hora 7: materia MAT, grupo 1A: la plantilla no tiene esa hora"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const test::ExportFolders folders;
    const fs::path& root = folders.root.path();
    const fs::path& htemp = folders.htemp;
    const fs::path& xade = folders.xade;
    test::WriteSchool(htemp);
    if (!c.plantilla.empty()) test::WritePlantilla(htemp, c.plantilla);
    test::WriteSoluc(htemp, c.soluc);
    std::ostringstream out, err;
    const int status = RunCli(
        {"export", "--xade", xade.string(), "--htemp", htemp.string(), "--report", (root / "r.md").string()}, out, err);
    EXPECT_EQ(status, c.status) << err.str();
    ExpectLines(test::ReadBytes(root / "r.md"), c.lines);
  }
}

}  // namespace
}  // namespace ludaro::cli
