#include "cli/export_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "cli/cli_dialog.h"
#include "common/dbf/field_codec.h"
#include "common/error.h"
#include "common/session/run_state.h"
#include "common/utf.h"
#include "common/xade_csv.h"

namespace ludaro::cli {
namespace {

[[noreturn]] void FailLine(const XadeCsvReader& reader, const std::string& what) {
  throw Error(reader.DisplayName() + ", line " + std::to_string(reader.LineNumber()) + ": " + what,
              reader.DisplayName(), reader.LineNumber());
}

std::optional<std::filesystem::path> PathOption(const ParsedArguments& arguments, const char* name) {
  if (auto value = arguments.option(name)) return std::filesystem::u8path(*value);
  return std::nullopt;
}

}  // namespace

const CommandSyntax kExportSyntax{{}, {"xade", "htemp", "start-times"}};

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
  const auto xade = PathOption(arguments, "xade");
  if (!xade) throw UsageError("export needs --xade DIR");

  RunState state;
  CliDialog dialog(err, true, StderrIsTerminal());
  Exportacion exportacion(state, dialog, PathOption(arguments, "htemp"));
  if (!exportacion.Iniciar(*xade)) return kExitStopped;
  exportacion.EntrarRejilla();
  if (const auto startTimes = PathOption(arguments, "start-times")) ApplyStartTimes(exportacion, *startTimes);
  exportacion.Aceptar();
  exportacion.Exportar();
  return state.nTransformado == 1 ? kExitOk : kExitStopped;
}

}  // namespace ludaro::cli
