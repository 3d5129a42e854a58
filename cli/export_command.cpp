#include "cli/export_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "cli/report_option.h"
#include "common/session/run_report.h"
#include "common/dbf/field_codec.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/session/run_state.h"
#include "common/utf.h"
#include "common/xade_csv.h"

namespace ludaro::cli {
namespace {

[[noreturn]] void FailLine(const XadeCsvReader& reader, const std::string& what) {
  throw Error(reader.DisplayName() + ", line " + std::to_string(reader.LineNumber()) + ": " + what,
              reader.DisplayName(), reader.LineNumber());
}

const char* TemplateOrigin(OrigenPlantilla origen) {
  switch (origen) {
    case OrigenPlantilla::Conservada:
      return "conservada como estaba";
    case OrigenPlantilla::DiasHoras:
      return "creada con las horas del día 1 de DIASHORAST.DBF";
    case OrigenPlantilla::PorDefecto:
      return "creada con las veinte horas predeterminadas";
  }
  return "";
}

// The export as the window would run it, the template accepted with the
// start times of --start-times; `report` learns why it stopped where it does.
int Export(Exportacion& exportacion, const ParsedArguments& arguments, const std::filesystem::path& xade,
           const RunState& state, RunReport& report) {
  if (!exportacion.Iniciar(xade)) {
    report.Stopped("la carpeta para HORARIO.CSV no existe");
    return kExitStopped;
  }
  report.Setting("Plantilla horaria", TemplateOrigin(exportacion.origenPlantilla()));
  exportacion.EntrarRejilla();
  if (const auto startTimes = arguments.pathOption("start-times")) ApplyStartTimes(exportacion, *startTimes);
  exportacion.Aceptar();
  exportacion.Exportar();
  report.FileWritten(exportacion.horarioCsv().filename().u8string(), exportacion.lineas());
  return state.nTransformado == 1 ? kExitOk : kExitStopped;
}

}  // namespace

const CommandSyntax kExportSyntax{{}, {"xade", "htemp", "start-times", "report"}};

void ApplyStartTimes(Exportacion& exportacion, const std::filesystem::path& file) {
  XadeCsvReader reader(file);
  XadeLine line;
  if (!reader.ReadLine(line) || line.Count() < 2 || line.Field(0) != u"HORA" || line.Field(1) != u"HORAINI")
    FailLine(reader, "the first line must be the header HORA,HORAINI");
  exportacion.EntrarRejilla();
  while (reader.ReadLine(line)) {
    if (line.Count() == 0) continue;
    const auto hora = dbf::ParseWholeNumber(line.Field(0));
    if (!hora) FailLine(reader, "HORA '" + U16ToUtf8(line.Field(0)) + "' is not a whole number");
    const auto& filas = exportacion.filas();
    const auto row = std::find_if(filas.begin(), filas.end(), [&](const HoraPlantilla& fila) { return fila.hora == *hora; });
    if (row == filas.end()) FailLine(reader, "the hour template has no HORA " + std::to_string(*hora));
    exportacion.MoverAFila(static_cast<std::size_t>(row - filas.begin()));
    if (!exportacion.FijarHoraInicio(line.Field(1)))
      FailLine(reader, "start time '" + U16ToUtf8(line.Field(1)) + "' refused");
  }
}

int RunExport(const ParsedArguments& arguments, std::ostream&, std::ostream& err) {
  const auto xade = arguments.pathOption("xade");
  if (!xade) throw UsageError("export needs --xade DIR");
  ReportedRun run(arguments, ReportedDirection::Export, err, true);
  const auto htemp = arguments.pathOption("htemp");
  Exportacion exportacion(run.state(), run.dialog(), htemp);
  run.LogInto(exportacion);
  run.report().Setting("Carpeta para HORARIO.CSV", xade->u8string());
  run.report().Setting("Carpeta de trabajo", platform::HtempFolder(htemp).u8string());
  return run.Run([&] { return Export(exportacion, arguments, *xade, run.state(), run.report()); });
}

}  // namespace ludaro::cli
