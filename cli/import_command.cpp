#include "cli/import_command.h"

#include <array>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/report_option.h"
#include "common/session/run_report.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/session/run_state.h"
#include "common/utf.h"
#include "common/xade_csv.h"

namespace ludaro::cli {
namespace {

bool RecoverAnswer(const ParsedArguments& arguments) {
  const auto value = arguments.option("recover");
  if (!value || *value == "yes") return true;
  if (*value == "no") return false;
  throw UsageError("option --recover takes yes or no, not '" + *value + "'");
}

// The window's warning, then one line per course the failed level check
// found.
void ReportIncompleteCoding(const std::vector<CursoIncompleto>& incompletos, std::ostream& err) {
  err << OneLine(
             u"!!!!!!! ATENCIÓN !!!!!!!  Existe algún NIVEL o CURSO, sin contenido. Debe completar todos los "
             u"datos en la columna NIVEL y CURSO.")
      << '\n';
  for (const auto& curso : incompletos) {
    const char* missing = curso.sinNivel && curso.sinCurso ? "NIVEL and CURSO" : curso.sinNivel ? "NIVEL" : "CURSO";
    err << "course " << U16ToUtf8(curso.codCurso) << " (" << U16ToUtf8(curso.nomeCurso) << "): " << missing
        << " missing\n";
  }
}

// The import as the window would run it, without asking; `report` learns
// why it stopped where it does.
int Import(Importacion& importacion, const ParsedArguments& arguments, const std::filesystem::path& xade,
           const RunState& state, std::ostream& err, RunReport& report) {
  importacion.Iniciar(xade);
  if (importacion.phase() == Importacion::Phase::NotStarted) {
    report.Stopped("la carpeta de XADE no existe");
    return kExitStopped;
  }
  if (importacion.phase() != Importacion::Phase::ChoosingConvocatoria) {
    report.Stopped("no hay archivo de convocatorias");
    return kExitStopped;
  }

  if (const auto convocatoria = arguments.option("convocatoria")) {
    if (!importacion.ElegirConvocatoria(Utf8ToU16(*convocatoria)))
      throw Error("No convocatoria '" + *convocatoria + "' in convocatoriasCentro.csv");
  }
  report.Setting("Convocatoria", importacion.ConvocatoriaForReport());
  importacion.Continuar();
  if (importacion.phase() != Importacion::Phase::CodingLevels) {
    report.Stopped("no se creó la tabla de cursos");
    return kExitStopped;
  }

  if (const auto coding = arguments.pathOption("coding")) ApplyCoding(importacion, *coding);
  importacion.Aceptar();
  if (importacion.phase() == Importacion::Phase::CheckFailed) {
    ReportIncompleteCoding(importacion.incompletos(), err);
    report.Stopped("faltan niveles o cursos por codificar; no se guardó nada",
                   IncompleteCoursesForReport(importacion.incompletos()));
    return kExitStopped;
  }
  if (importacion.phase() != Importacion::Phase::Finished) {
    report.Stopped("la importación no terminó");
    return kExitStopped;
  }
  return state.nTransformado == 1 ? kExitOk : kExitIncomplete;
}

}  // namespace

const CommandSyntax kImportSyntax{{}, {"xade", "htemp", "convocatoria", "coding", "recover", "report"}};

void ApplyCoding(Importacion& importacion, const std::filesystem::path& file) {
  if (!platform::FileExists(file)) throw Error("The coding file does not exist: " + file.string(), file.string());
  XadeCsvReader reader(file);
  XadeLine line;
  constexpr std::array<const char16_t*, 4> kColumns = {u"CODCURSO", u"TURNO", u"NIVEL", u"CURSO"};
  std::array<std::size_t, 4> column{};
  const bool hasHeader = reader.ReadLine(line);
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    std::size_t found = 0;
    while (hasHeader && found < line.Count() && line.Field(found) != kColumns[i]) ++found;
    if (!hasHeader || found == line.Count())
      throw Error(reader.DisplayName() + ", line 1: the header lacks the column " + U16ToUtf8(kColumns[i]),
                  reader.DisplayName(), 1);
    column[i] = found;
  }
  while (reader.ReadLine(line)) {
    if (line.Count() == 0) continue;
    importacion.CodificarCurso(line.Field(column[0]), line.Field(column[1]), line.Field(column[2]),
                               line.Field(column[3]));
  }
}

int RunImport(const ParsedArguments& arguments, std::ostream&, std::ostream& err) {
  const auto xade = arguments.pathOption("xade");
  if (!xade) throw UsageError("import needs --xade DIR");
  ReportedRun run(arguments, ReportedDirection::Import, err, RecoverAnswer(arguments));
  const auto htemp = arguments.pathOption("htemp");
  Importacion importacion(run.state(), run.dialog(), htemp);
  run.LogInto(importacion);
  run.report().Setting("Carpeta de XADE", xade->u8string());
  run.report().Setting("Carpeta de trabajo", platform::HtempFolder(htemp).u8string());
  return run.Run([&] { return Import(importacion, arguments, *xade, run.state(), err, run.report()); });
}

}  // namespace ludaro::cli
