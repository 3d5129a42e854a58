#include "import/import_tables.h"

#include <algorithm>

#include "common/error.h"
#include "common/platform/platform.h"

namespace ludaro {

using dbf::FieldDef;

const dbf::TableDef& ConvocatoriasTableDef() {
  static const dbf::TableDef definition{{FieldDef::Text("CONVOCATORIA", 10), FieldDef::Text("DESCRIPCION", 60)}, {}};
  return definition;
}

const dbf::TableDef& CursosTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("ABREV", 3), FieldDef::Text("TURNO", 1), FieldDef::Text("NIVEL", 5), FieldDef::Text("CURSO", 3),
       FieldDef::Text("NOMECURSO", 50), FieldDef::Text("CODCURSO", 10)},
      {kCodCursoTag}};
  return definition;
}

const dbf::TableDef& GruposTableDef() {
  static const dbf::TableDef definition{
      {FieldDef::Text("ABREV", 10), FieldDef::Text("TURNO", 1), FieldDef::Text("NIVEL", 5), FieldDef::Text("CURSO", 3),
       FieldDef::Text("GRUPO", 2), FieldDef::Text("MARCO", 1), FieldDef::Text("NUMALUMN", 2),
       FieldDef::Text("DESCRIP", 80), FieldDef::Text("TUTOR", 10), FieldDef::Text("CODGRUXADE", 15),
       FieldDef::Text("CODSUBGRUXADE", 15), FieldDef::Text("CODCURSOXADE", 15), FieldDef::Text("NOMEGRUPOXADE", 100),
       FieldDef::Text("NOMEABREVGRUPXADE", 100), FieldDef::Text("NOMESUBGRUXADE", 100),
       FieldDef::Text("NOMEABREVSUBGRUXADE", 100), FieldDef::Text("NOMECURSOXADE", 100)},
      {}};
  return definition;
}

int FieldWidth(const dbf::TableDef& definition, std::string_view field) {
  for (const auto& def : definition.fields)
    if (def.name == field) return def.width;
  throw Error("no field " + std::string(field) + " in the table definition");
}

std::optional<std::filesystem::path> ExistingTableFile(const ImportStepContext& context, const char* table) {
  return platform::FindFileIgnoringCase(context.htemp / (std::string(table) + ".DBF"));
}

std::optional<std::filesystem::path> XadeFile(const ImportStepContext& context, std::string_view name) {
  return platform::FindFileIgnoringCase(context.xadeFolder / std::string(name));
}

std::optional<std::filesystem::path> RequiredXadeFile(ImportStepContext& context, std::string_view name,
                                                      const char16_t* missing) {
  auto file = XadeFile(context, name);
  if (!file) {
    context.dialog.Message(missing);
    context.state.nTransformado = -1;
  }
  return file;
}

void OpenNewTable(dbf::Table& table, const std::filesystem::path& htemp, std::string_view name,
                  const dbf::TableDef& definition) {
  dbf::DeleteTable(htemp, name);
  table.Create(definition);
  table.SetExclusive(true);
  table.Open();
}

void RequireLayout(const dbf::Table& table, const dbf::TableDef& definition) {
  const auto fields = table.Fields();
  for (const auto& wanted : definition.fields) {
    const auto found = std::find_if(fields.begin(), fields.end(),
                                    [&](const dbf::FieldInfo& field) { return field.name == wanted.name; });
    if (found == fields.end())
      throw Error(
          "Table " + table.path().string() + " has an older or unknown layout: it lacks the field " + wanted.name,
          table.path().string());
    if (found->type != 'C')
      throw Error("Table " + table.path().string() + " has an older or unknown layout: its field " + wanted.name +
                      " is not a text field",
                  table.path().string());
  }
}

}  // namespace ludaro
