#pragma once

#include <filesystem>
#include <iosfwd>

#include "cli/command_line.h"
#include "import/importacion.h"

namespace ludaro::cli {

// Types into the level grid what a UTF-8 CSV file with the columns CODCURSO,
// TURNO, NIVEL and CURSO (in any order, named by its first line) says.
// Courses the grid does not hold are passed over, so one file can serve
// every convocatoria. Throws ludaro::Error naming the file and line.
void ApplyCoding(Importacion& importacion, const std::filesystem::path& file);

// `import --xade DIR [--htemp DIR] [--convocatoria CODE] [--coding FILE] [--recover yes|no]`
extern const CommandSyntax kImportSyntax;
int RunImport(const ParsedArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace ludaro::cli
