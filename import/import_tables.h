#pragma once

// The working tables the first half of the import writes, each defined once:
// Horalia and the later steps read them by these exact names, field orders
// and widths.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/dbf/table.h"
#include "import/import_step.h"

namespace ludaro {

inline constexpr const char* kConvocatoriasTable = "CONVOCAXADE";
inline constexpr const char* kCursosTable = "CURSOST";
inline constexpr const char* kCodificacionTable = "CURSOST2";
inline constexpr const char* kGruposTable = "GRUPOST";
inline constexpr const char* kCodCursoTag = "CODCURSO";

// How many input lines a long step reads between two progress reports.
inline constexpr long kProgressLines = 4096;

// CONVOCATORIA, DESCRIPCION; no index.
const dbf::TableDef& ConvocatoriasTableDef();
// ABREV, TURNO, NIVEL, CURSO, NOMECURSO, CODCURSO with the tag CODCURSO:
// the course table and the saved coding share it.
const dbf::TableDef& CursosTableDef();
// The 17 text fields of the group table; no index.
const dbf::TableDef& GruposTableDef();

// Width of a text field of a definition; throws if the definition lacks it.
int FieldWidth(const dbf::TableDef& definition, std::string_view field);


// The "<table>.DBF" of the working folder, whatever the letter case of its
// name, if it exists.
std::optional<std::filesystem::path> ExistingTableFile(const ImportStepContext& context, const char* table);

// The XADE file in the chosen folder, whatever the letter case of its name.
std::optional<std::filesystem::path> XadeFile(const ImportStepContext& context, std::string_view name);

// The XADE file a step cannot go without; when it is missing, nothing, after
// the message `missing` is shown and the result code set to -1.
std::optional<std::filesystem::path> RequiredXadeFile(ImportStepContext& context, std::string_view name,
                                                      const char16_t* missing);

// A step's own working table made anew from `definition` (older files of it
// deleted) and opened for the step alone, so its rows go out in batches.
void OpenNewTable(dbf::Table& table, const std::filesystem::path& htemp, std::string_view name,
                  const dbf::TableDef& definition);

// Refuses a table written by something else or by an older layout: every
// field of `definition` must be there as a text field, or the error names the
// table and the first field that is missing or of another kind.
void RequireLayout(const dbf::Table& table, const dbf::TableDef& definition);

}  // namespace ludaro
