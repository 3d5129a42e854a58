#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/dbf/table.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/session/run_state.h"
#include "common/utf.h"
#include "export/exportacion.h"
#include "export/plantilla.h"
#include "tests/horalia_tables.h"
#include "tests/recording_dialog.h"
#include "tests/test_support.h"

namespace ludaro {
namespace {

namespace fs = std::filesystem;
using test::PlantillaRow;
using test::SolucRow;

// Lines as UTF-8 text without their line end; the file holds them in cp1252
// with CRLF.
std::string CsvBytes(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += platform::ToCodePage(Utf8ToU16(line), 1252) + "\r\n";
  return bytes;
}

// One working folder and one XADE folder, and the export run on them as the
// window runs it when the user accepts the template as it is.
struct ExportRun {
  test::TempDir root;
  fs::path htemp = root / "HTEMP";
  fs::path xade = root / "xade";
  RunState state;
  test::RecordingDialog dialog;

  ExportRun() {
    fs::create_directory(htemp);
    fs::create_directory(xade);
  }

  fs::path Csv() const { return xade / "HORARIO.CSV"; }

  void Run() {
    Exportacion exportacion(state, dialog, htemp);
    ASSERT_TRUE(exportacion.Iniciar(xade));
    exportacion.EntrarRejilla();
    exportacion.Aceptar();
    exportacion.Exportar();
  }

  // The message of the error that stops the export.
  std::string RunFailing() { return test::MessageOf([this] { Run(); }); }
};

// ------------------------------------------------------------------ lines

struct LinesCase {
  const char* name;
  std::vector<SolucRow> soluc;
  std::vector<std::string> lines;
};

TEST(TimetableExport, WritesOneLinePerTaughtHour) {
  const LinesCase cases[] = {
      {"the worked block of two hours",
       {{u"MAT", u"P01", u"1A", u"A12", 2, 3, 2}},
       {R"("1","Martes","09:50","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("2","Martes","11:05","1ESO-A","MAT1","DOCENTE UNO","","A12")"}},
      {"day 0, an unknown teacher and an unknown subject give no line and use no number",
       {{u"MAT", u"P01", u"1A", u"A12", 0, 1, 1},
        {u"MAT", u"P99", u"1A", u"A12", 1, 1, 1},
        {u"QUI", u"P01", u"1A", u"A12", 1, 1, 1},
        {u"MAT", u"P01", u"1A", u"A12", 1, 2, 1}},
       {R"("1","Luns","08:55","1ESO-A","MAT1","DOCENTE UNO","","A12")"}},
      {"an unknown group finds only subjects of no course",
       {{u"MAT", u"P01", u"ZZ", u"A12", 1, 1, 1}, {u"GARD", u"P02", u"ZZ", u"A1", 3, 1, 1}},
       {R"("1","Mércores","08:00","","","DOCENTE DOUS","","A1")"}},
      {"a subgroup gives its own text",
       {{u"FIS", u"P02", u"1AD", u"LAB", 4, 6, 1}},
       {R"("1","Xoves","12:55","1ESO-A-DESD","FQ","DOCENTE DOUS","","LAB")"}},
      {"day names, and none for a day out of the week",
       {{u"MAT", u"P01", u"1A", u"A", 1, 1, 1}, {u"MAT", u"P01", u"1A", u"A", 2, 1, 1},
        {u"MAT", u"P01", u"1A", u"A", 3, 1, 1}, {u"MAT", u"P01", u"1A", u"A", 4, 1, 1},
        {u"MAT", u"P01", u"1A", u"A", 5, 1, 1}, {u"MAT", u"P01", u"1A", u"A", 6, 1, 1},
        {u"MAT", u"P01", u"1A", u"A", 7, 1, 1}, {u"MAT", u"P01", u"1A", u"A", 8, 1, 1},
        {u"MAT", u"P01", u"1A", u"A", -1, 1, 1}},
       {R"("1","Luns","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("2","Martes","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("3","Mércores","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("4","Xoves","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("5","Venres","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("6","Sábado","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("7","Domingo","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("8","","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")",
        R"("9","","08:00","1ESO-A","MAT1","DOCENTE UNO","","A")"}},
      {"whole sessions take consecutive template hours; none for zero or fewer",
       {{u"MAT", u"P01", u"1A", u"A12", 5, 4, 3},
        {u"MAT", u"P01", u"1A", u"A12", 5, 1, 0},
        {u"MAT", u"P01", u"1A", u"A12", 5, 1, -2}},
       {R"("1","Venres","11:05","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("2","Venres","12:00","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("3","Venres","12:55","1ESO-A","MAT1","DOCENTE UNO","","A12")"}},
      {"the first hour rounds halves to even",
       {{u"MAT", u"P01", u"1A", u"A12", 1, 2.5, 1}, {u"MAT", u"P01", u"1A", u"A12", 1, 3.5, 1}},
       {R"("1","Luns","08:55","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("2","Luns","11:05","1ESO-A","MAT1","DOCENTE UNO","","A12")"}},
      {"a fractional block is one line at its slot of DIASHORAST, cut to five characters",
       {{u"MAT", u"P01", u"1A", u"A12", 2, 5, 0.5},
        {u"MAT", u"P01", u"1A", u"A12", 2, 5.5, 0.5},
        {u"MAT", u"P01", u"1A", u"A12", 2, 4, 2.5},
        {u"MAT", u"P01", u"1A", u"A12", 3, 5, 0.5}},
       {R"("1","Martes","12:30","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("2","Martes","13:00","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("3","Martes","","1ESO-A","MAT1","DOCENTE UNO","","A12")",
        R"("4","Mércores","","1ESO-A","MAT1","DOCENTE UNO","","A12")"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    test::WriteSchool(run.htemp);
    test::WriteSoluc(run.htemp, c.soluc);
    run.Run();
    EXPECT_EQ(test::ReadBytes(run.Csv()), CsvBytes(c.lines));
  }
}

TEST(TimetableExport, WorkedLineByteForByte) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 2, 3, 2}});
  run.Run();
  const std::string bytes = test::ReadBytes(run.Csv());
  EXPECT_EQ(bytes.substr(0, bytes.find('\n') + 1),
            "\"1\",\"Martes\",\"09:50\",\"1ESO-A\",\"MAT1\",\"DOCENTE UNO\",\"\",\"A12\"\r\n");

  dbf::Table horario(run.htemp, "HORARIOXADECSV");
  horario.Open();
  EXPECT_EQ(horario.RecordCount(), 2u);
  EXPECT_EQ(horario.AsInteger("NLIN"), 1);
  EXPECT_EQ(horario.AsString("RESERVADO"), u"");
}

TEST(TimetableExport, DoublesQuotesInsideFieldsAndLeavesCommas) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteProfesores(run.htemp, {{u"P01", u"Xosé \"Pepe\" Núñez, fillo"}});
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"\"A\"", 1, 1, 1}});
  run.Run();
  EXPECT_EQ(test::ReadBytes(run.Csv()),
            CsvBytes({R"("1","Luns","08:00","1ESO-A","MAT1","Xosé ""Pepe"" Núñez, fillo","","""A""")"}));
}

TEST(TimetableExport, EmptySolutionGivesAnEmptyFileAndFinishes) {
  ExportRun run;
  run.state.nParam = 2;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 0, 1, 1}});
  test::WriteBytes(run.Csv(), "old");
  run.Run();
  EXPECT_EQ(test::ReadBytes(run.Csv()), "");
  EXPECT_EQ(run.state.nTransformado, 1);
  EXPECT_TRUE(run.state.closeRequested);
  EXPECT_EQ(run.dialog.said, std::vector<std::u16string>{u"Proceso finalizado"});
  EXPECT_FALSE(run.dialog.busy);
}

TEST(TimetableExport, ReplacesTheOldFileWithoutLeavingTheTemporaryOne) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 1}});
  // Whatever letter case the earlier file has, it is the one replaced.
  test::WriteBytes(run.xade / "horario.csv", std::string(100000, 'x'));
  run.Run();
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(run.xade)) names.push_back(entry.path().filename().string());
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(test::ReadBytes(run.xade / names[0]),
            CsvBytes({R"("1","Luns","08:00","1ESO-A","MAT1","DOCENTE UNO","","A12")"}));
}

TEST(TimetableExport, FailedWriteKeepsTheOldFile) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 1}});
  test::WriteBytes(run.Csv(), "old timetable");
  // The temporary file cannot be created where a folder of its name stands.
  fs::create_directory(run.xade / "HORARIO.CSV.new");
  EXPECT_NE(run.RunFailing(), "(no error)");
  EXPECT_EQ(test::ReadBytes(run.Csv()), "old timetable");
  EXPECT_EQ(run.state.nTransformado, 0);
  EXPECT_TRUE(fs::is_directory(run.xade / "HORARIO.CSV.new"));
}

TEST(TimetableExport, TemplatePositionOutOfRangeStopsAndLeavesTheFile) {
  const struct {
    const char* name;
    bool emptyTemplate;
    SolucRow row;
    const char* message;
  } cases[] = {
      {"half hour rounds to the sixth of six hours, two sessions", false, {u"MAT", u"P01", u"1A", u"A", 2, 5.5, 2},
       "List index out of bounds (6)"},
      {"hour 0", false, {u"MAT", u"P01", u"1A", u"A", 2, 0, 1}, "List index out of bounds (-1)"},
      {"empty template", true, {u"MAT", u"P01", u"1A", u"A", 2, 1, 1}, "List index out of bounds (0)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    run.state.nParam = 2;
    test::WriteSchool(run.htemp);
    if (c.emptyTemplate) test::WritePlantilla(run.htemp, {});
    test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 1}, c.row});
    test::WriteBytes(run.Csv(), "old timetable");

    Exportacion exportacion(run.state, run.dialog, run.htemp);
    ASSERT_TRUE(exportacion.Iniciar(run.xade));
    EXPECT_EQ(test::MessageOf([&] { exportacion.Exportar(); }), c.message);
    EXPECT_EQ(test::ReadBytes(run.Csv()), "old timetable");
    EXPECT_EQ(run.state.nTransformado, 0);
    EXPECT_FALSE(run.state.closeRequested);
    EXPECT_TRUE(run.dialog.said.empty());
    EXPECT_TRUE(exportacion.view().importarEnabled);
    EXPECT_EQ(exportacion.phase(), Exportacion::Phase::NotStarted);

    // Stopped, not finished: the button works again, and the tables it had
    // opened were let go.
    dbf::Table soluc(run.htemp, "SOLUC");
    soluc.SetExclusive(true);
    EXPECT_NO_THROW(soluc.Open());
    soluc.Close();
    EXPECT_TRUE(exportacion.Iniciar(run.xade));
  }
}

// ------------------------------------------------------------- run states

TEST(ExportButton, FolderCheckAndResultCode) {
  const struct {
    const char* name;
    std::int32_t nParam;
    bool folderExists;
    std::int32_t nTransformado;
    bool closeRequested;
    std::vector<std::u16string> said;
  } cases[] = {
      {"missing folder on behalf of Horalia", 2, false, 0, true, {u"No existe la carpeta"}},
      {"missing folder, started alone", 0, false, -1, false, {u"No existe la carpeta"}},
      {"completed on behalf of Horalia", 2, true, 1, true, {u"Proceso finalizado"}},
      {"completed, started alone", 0, true, 1, false, {u"Proceso finalizado"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    run.state.nParam = c.nParam;
    run.state.nTransformado = -1;  // left by an import that missed a file
    test::WriteSchool(run.htemp);
    test::WriteSoluc(run.htemp, {});
    Exportacion exportacion(run.state, run.dialog, run.htemp);
    const fs::path folder = c.folderExists ? run.xade : run.root / "missing";
    if (exportacion.Iniciar(folder)) exportacion.Exportar();
    EXPECT_EQ(run.state.nTransformado, c.nTransformado);
    EXPECT_EQ(run.state.closeRequested, c.closeRequested);
    EXPECT_EQ(run.dialog.said, c.said);
    EXPECT_EQ(exportacion.view().importarEnabled, !c.folderExists);
    EXPECT_EQ(exportacion.view().exportarEnabled, !c.folderExists);
  }
}

TEST(ExportButton, FinishedExportCannotRunAgain) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {});
  Exportacion exportacion(run.state, run.dialog, run.htemp);
  ASSERT_TRUE(exportacion.Iniciar(run.xade));
  exportacion.Exportar();
  EXPECT_EQ(exportacion.phase(), Exportacion::Phase::Finished);
  EXPECT_NE(test::MessageOf([&] { exportacion.Iniciar(run.xade); }), "(no error)");
  EXPECT_NE(test::MessageOf([&] { exportacion.Exportar(); }), "(no error)");
}

// ------------------------------------------------------------- template

TEST(HourTemplate, IsKeptOrBuilt) {
  const std::vector<test::DiasHorasRow> horalia = {
      {u"2", u"1", u"07:00:00", u"08:00:00"},
      {u"1", u"2", u"08:55:00", u"09:50:00"},
      {u"1", u"1", u"08:00:00", u"08:55:00"},
      {u"10", u"3", u"11:00", u"12:00"},
  };
  const std::vector<PlantillaRow> fromDay1 = {{2, u"08:55", u"09:50"}, {1, u"08:00", u"08:55"}};
  const std::vector<PlantillaRow> defaults = {
      {1, u"08:00", u"09:00"},  {2, u"09:00", u"10:00"},  {3, u"10:00", u"11:00"},  {4, u"11:00", u"12:00"},
      {5, u"12:00", u"13:00"},  {6, u"13:00", u"14:00"},  {7, u"14:00", u"15:00"},  {8, u"15:00", u"16:00"},
      {9, u"16:00", u"17:00"},  {10, u"17:00", u"18:00"}, {11, u"18:00", u"19:00"}, {12, u"19:00", u"20:00"},
      {13, u"20:00", u"21:00"}, {14, u"21:00", u"22:00"}, {15, u"22:00", u"23:00"}, {16, u"23:00", u"24:00"},
      {17, u"00:00", u"01:00"}, {18, u"01:00", u"02:00"}, {19, u"02:00", u"03:00"}, {20, u"03:00", u"04:00"}};
  const struct {
    const char* name;
    std::function<void(const fs::path&)> setUp;
    OrigenPlantilla origen;
    std::vector<PlantillaRow> rows;
  } cases[] = {
      {"a template with rows is kept, whatever DIASHORAST says",
       [&](const fs::path& htemp) {
         test::WritePlantilla(htemp, {{3, u"07:45", u"08:40"}});
         test::WriteDiasHoras(htemp, horalia);
       },
       OrigenPlantilla::Conservada, {{3, u"07:45", u"08:40"}}},
      {"an empty template is built again from the hours of day 1, in DIASHORAST's order",
       [&](const fs::path& htemp) {
         test::WritePlantilla(htemp, {});
         test::WriteDiasHoras(htemp, horalia);
       },
       OrigenPlantilla::DiasHoras, fromDay1},
      {"no DIASHORAST: the twenty default hours", [](const fs::path&) {}, OrigenPlantilla::PorDefecto, defaults},
      {"no row of day 1: an empty template",
       [](const fs::path& htemp) { test::WriteDiasHoras(htemp, {{u"2", u"1", u"08:00", u"09:00"}}); },
       OrigenPlantilla::DiasHoras, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    c.setUp(run.htemp);
    Exportacion exportacion(run.state, run.dialog, run.htemp);
    ASSERT_TRUE(exportacion.Iniciar(run.xade));
    EXPECT_EQ(exportacion.origenPlantilla(), c.origen);
    exportacion.Aceptar();
    EXPECT_EQ(test::ReadPlantilla(run.htemp), c.rows);

    dbf::Table byHour(run.htemp, "PLANTILLA");
    byHour.SetIndexName("HORA");
    ASSERT_NO_THROW(byHour.Open());
    std::int64_t previous = 0;
    for (byHour.First(); !byHour.Eof(); byHour.Next()) {
      EXPECT_LE(previous, byHour.AsInteger("HORA"));
      previous = byHour.AsInteger("HORA");
    }
  }
}

TEST(HourTemplate, RefusesDiasHorasItCannotRead) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> setUp;
    const char* fragment;
  } cases[] = {
      {"an hour that is not a whole number",
       [](const fs::path& htemp) { test::WriteDiasHoras(htemp, {{u"1", u"1b", u"08:00", u"09:00"}}); }, "HORA"},
      {"a field missing",
       [](const fs::path& htemp) {
         dbf::Table table(htemp, "DIASHORAST");
         table.Create({{dbf::FieldDef::Text("DIA", 20), dbf::FieldDef::Text("HORA", 8),
                        dbf::FieldDef::Text("HORAHASTA", 8)},
                       {}});
       },
       "DIASHORAST.DBF has no field HORADESDE"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    c.setUp(run.htemp);
    Exportacion exportacion(run.state, run.dialog, run.htemp);
    EXPECT_NE(test::MessageOf([&] { exportacion.Iniciar(run.xade); }).find(c.fragment), std::string::npos);
    EXPECT_EQ(exportacion.phase(), Exportacion::Phase::NotStarted);
  }
}

TEST(StartTime, OnlyHoursAndMinutesOfTheDay) {
  const struct {
    const char16_t* text;
    bool valid;
  } cases[] = {
      {u"00:00", true}, {u"08:55", true}, {u"23:59", true}, {u"24:00", true},
      {u"24:01", false}, {u"25:00", false}, {u"08:60", false}, {u"8:00", false},
      {u"08:00:00", false}, {u"0800", false}, {u"08.00", false}, {u" 8:00", false},
      {u"", false}, {u"ab:cd", false}, {u"０８:００", false}, {u"-1:00", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EsHoraInicioValida(c.text), c.valid) << U16ToUtf8(c.text);
}

TEST(TemplateDialog, RefusedStartTimeLeavesTheRowInEditAsItWas) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 2}});
  Exportacion exportacion(run.state, run.dialog, run.htemp);
  ASSERT_TRUE(exportacion.Iniciar(run.xade));
  exportacion.EntrarRejilla();

  EXPECT_FALSE(exportacion.FijarHoraInicio(u"8.10"));
  ASSERT_EQ(run.dialog.said.size(), 1u);
  EXPECT_NE(run.dialog.said[0].find(u"8.10"), std::u16string::npos);
  EXPECT_NE(run.dialog.said[0].find(u"HH:MM"), std::u16string::npos);
  EXPECT_TRUE(exportacion.plantilla().Editing());
  EXPECT_EQ(exportacion.plantilla().AsString("HORAINI"), u"08:00");

  EXPECT_TRUE(exportacion.FijarHoraInicio(u"08:10"));
  exportacion.MoverAFila(1);
  EXPECT_FALSE(exportacion.FijarHora(u"dos"));
  EXPECT_TRUE(exportacion.FijarHoraInicio(u"09:05"));
  exportacion.Aceptar();
  EXPECT_EQ(exportacion.filas()[0].horaIni, u"08:10");
  EXPECT_EQ(exportacion.filas()[1].horaIni, u"09:05");

  exportacion.Exportar();
  EXPECT_EQ(test::ReadBytes(run.Csv()), CsvBytes({R"("1","Luns","08:10","1ESO-A","MAT1","DOCENTE UNO","","A12")",
                                                   R"("2","Luns","09:05","1ESO-A","MAT1","DOCENTE UNO","","A12")"}));
  EXPECT_EQ(test::ReadPlantilla(run.htemp)[1], (PlantillaRow{2, u"09:05", u"09:50"}));
}

TEST(TemplateDialog, EmptyTemplateGetsARowOnlyWhenSomethingIsTyped) {
  for (const bool typed : {false, true}) {
    SCOPED_TRACE(typed ? "typed" : "untouched");
    ExportRun run;
    test::WriteDiasHoras(run.htemp, {});
    Exportacion exportacion(run.state, run.dialog, run.htemp);
    ASSERT_TRUE(exportacion.Iniciar(run.xade));
    exportacion.EntrarRejilla();
    EXPECT_EQ(exportacion.plantilla().state(), dbf::Table::State::Insert);
    if (typed) {
      EXPECT_TRUE(exportacion.FijarHora(u"1"));
      EXPECT_TRUE(exportacion.FijarHoraInicio(u"08:30"));
    }
    exportacion.Aceptar();
    const std::vector<PlantillaRow> expected =
        typed ? std::vector<PlantillaRow>{{1, u"08:30", u""}} : std::vector<PlantillaRow>{};
    EXPECT_EQ(test::ReadPlantilla(run.htemp), expected);
  }
}

// ------------------------------------------------------- Horalia's tables

TEST(HoraliaTables, ReadByTheirStoredLayoutAtEveryLevel) {
  const std::vector<std::string> expected = {
      R"("1","Martes","09:50","1ESO-A","MAT1","DOCENTE UNO","","A12")",
      R"("2","Martes","11:05","1ESO-A","MAT1","DOCENTE UNO","","A12")",
      R"("3","Mércores","08:00","1ESO-A","FQ","DOCENTE DOUS","","LAB")",
      R"("4","Martes","12:30","1ESO-A","MAT1","DOCENTE UNO","","A12")",
      R"("5","Venres","11:05","1ESO-A","FQ","DOCENTE DOUS","","AÑ1")",
  };
  const std::vector<PlantillaRow> day1 = {
      {1, u"08:00", u"08:55"}, {2, u"08:55", u"09:50"}, {4, u"11:05", u"12:00"}, {3, u"09:50", u"10:45"}};
  for (const char* level : {"dbase3", "dbase4", "dbase7"}) {
    SCOPED_TRACE(level);
    ExportRun run;
    for (const auto& entry : fs::directory_iterator(test::Fixture(std::string("horalia/") + level)))
      fs::copy_file(entry.path(), run.htemp / entry.path().filename());
    test::WriteSchoolTranslations(run.htemp);
    run.Run();
    EXPECT_EQ(test::ReadPlantilla(run.htemp), day1);
    EXPECT_EQ(test::ReadBytes(run.Csv()), CsvBytes(expected));
  }
}

TEST(HoraliaTables, ErrorsNameTheTable) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> spoil;
    std::vector<const char*> fragments;
  } cases[] = {
      {"SOLUC without SESIONES",
       [](const fs::path& htemp) {
         dbf::Table table(htemp, "SOLUC");
         table.Create({{dbf::FieldDef::Text("ASIG", 4), dbf::FieldDef::Text("PROF", 4),
                        dbf::FieldDef::Text("CODGRUPO", 4), dbf::FieldDef::Text("AULA", 4),
                        dbf::FieldDef::Float("DIA"), dbf::FieldDef::Float("HORA")},
                       {}});
       },
       {"SOLUC.DBF", "SESIONES"}},
      {"SOLUC missing", [](const fs::path& htemp) { fs::remove(htemp / "SOLUC.DBF"); }, {"SOLUC.DBF"}},
      {"SOLUC cut short",
       [](const fs::path& htemp) { fs::resize_file(htemp / "SOLUC.DBF", fs::file_size(htemp / "SOLUC.DBF") - 10); },
       {"SOLUC.DBF"}},
      {"PROFT without its tag ABREV",
       [](const fs::path& htemp) {
         dbf::Table(htemp, "PROFT").Create({{dbf::FieldDef::Text("ABREV", 10), dbf::FieldDef::Text("NOMBRE", 80)}, {}});
       },
       {"PROFT", "ABREV"}},
      {"AULAT missing", [](const fs::path& htemp) { dbf::DeleteTable(htemp, "AULAT"); }, {"AULAT.DBF"}},
      {"DIASHORAST missing although the template does without it",
       [](const fs::path& htemp) { dbf::DeleteTable(htemp, "DIASHORAST"); }, {"DIASHORAST.DBF"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExportRun run;
    test::WriteSchool(run.htemp);
    test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 1}});
    c.spoil(run.htemp);
    const std::string message = run.RunFailing();
    for (const char* fragment : c.fragments) EXPECT_NE(message.find(fragment), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(run.Csv()));
  }
}

TEST(HoraliaTables, SolutionHeldOpenByHoraliaStopsTheExport) {
  ExportRun run;
  test::WriteSchool(run.htemp);
  test::WriteSoluc(run.htemp, {{u"MAT", u"P01", u"1A", u"A12", 1, 1, 1}});
  dbf::Table horalia(run.htemp, "SOLUC");
  horalia.SetExclusive(true);
  horalia.Open();
  const std::string message = run.RunFailing();
  EXPECT_NE(message.find("in use"), std::string::npos) << message;
  EXPECT_NE(message.find("SOLUC.DBF"), std::string::npos) << message;
}

// A large solution exports in time proportional to its size: ten times the
// rows may not take much more than ten times as long.
TEST(TimetableExport, LargeSolutionInLinearTime) {
  const auto timeFor = [](int rows) {
    ExportRun run;
    test::WriteSchool(run.htemp);
    std::vector<SolucRow> soluc;
    soluc.reserve(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i)
      soluc.push_back({i % 2 ? u"MAT" : u"FIS", i % 3 ? u"P01" : u"P02", i % 5 ? u"1A" : u"1AD", u"A12",
                       static_cast<double>(1 + i % 5), static_cast<double>(1 + i % 6), 1});
    test::WriteSoluc(run.htemp, soluc);
    const auto start = std::chrono::steady_clock::now();
    run.Run();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const std::string csv = test::ReadBytes(run.Csv());
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), rows);
    return took.count();
  };
  const double small = timeFor(2000);
  const double large = timeFor(20000);
  EXPECT_LT(large, 25 * small + 1.0) << "2,000 rows: " << small << " s, 20,000 rows: " << large << " s";
}

}  // namespace
}  // namespace ludaro
