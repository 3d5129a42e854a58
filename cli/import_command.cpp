#include "cli/import_command.h"

#include <array>
#include <iostream>
#include <optional>
#include <ostream>
#include <string>

#include "cli/cli.h"
#include "cli/cli_dialog.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/session/run_state.h"
#include "common/utf.h"
#include "common/xade_csv.h"

namespace ludaro::cli {
namespace {

std::optional<std::filesystem::path> PathOption(const ParsedArguments& arguments, const char* name) {
  if (auto value = arguments.option(name)) return std::filesystem::u8path(*value);
  return std::nullopt;
}

bool RecoverAnswer(const ParsedArguments& arguments) {
  const auto value = arguments.option("recover");
  if (!value || *value == "yes") return true;
  if (*value == "no") return false;
  throw UsageError("option --recover takes yes or no, not '" + *value + "'");
}

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

}  // namespace

const CommandSyntax kImportSyntax{{}, {"xade", "htemp", "convocatoria", "coding", "recover"}};

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
  const auto xade = PathOption(arguments, "xade");
  if (!xade) throw UsageError("import needs --xade DIR");
  const bool recover = RecoverAnswer(arguments);

  RunState state;
  CliDialog dialog(err, recover, &err == &std::cerr && StderrIsTerminal());
  Importacion importacion(state, dialog, PathOption(arguments, "htemp"));
  importacion.Iniciar(*xade);
  if (importacion.phase() != Importacion::Phase::ChoosingConvocatoria) return kExitStopped;

  if (const auto convocatoria = arguments.option("convocatoria")) {
    if (!importacion.ElegirConvocatoria(Utf8ToU16(*convocatoria)))
      throw Error("No convocatoria '" + *convocatoria + "' in convocatoriasCentro.csv");
  }
  importacion.Continuar();
  if (importacion.phase() != Importacion::Phase::CodingLevels) return kExitStopped;

  if (const auto coding = PathOption(arguments, "coding")) ApplyCoding(importacion, *coding);
  importacion.Aceptar();
  if (importacion.phase() == Importacion::Phase::CheckFailed) {
    ReportIncompleteCoding(importacion.incompletos(), err);
    return kExitStopped;
  }
  if (importacion.phase() != Importacion::Phase::Finished) return kExitStopped;
  return state.nTransformado == 1 ? kExitOk : kExitIncomplete;
}

}  // namespace ludaro::cli
