#include "export/horalia_tables.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/error.h"

namespace ludaro {
namespace {

bool EqualsIgnoringAsciiCase(const std::string& a, const char* b) {
  const std::string other(b);
  return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

bool HoldsTextOrNumber(char type) { return type == 'C' || type == 'N' || type == 'F'; }

}  // namespace

void RequireReadableFields(const dbf::Table& table, std::initializer_list<const char*> fields) {
  const std::vector<dbf::FieldInfo> stored = table.Fields();
  const std::string name = table.path().string();
  for (const char* wanted : fields) {
    const auto found = std::find_if(stored.begin(), stored.end(),
                                    [&](const dbf::FieldInfo& field) { return EqualsIgnoringAsciiCase(field.name, wanted); });
    if (found == stored.end()) throw Error("Table " + name + " has no field " + wanted, name);
    if (!HoldsTextOrNumber(found->type))
      throw Error("Table " + name + ": field " + wanted + " is of type '" + std::string(1, found->type) +
                      "', which holds neither text nor a number",
                  name);
  }
}

std::unique_ptr<dbf::Table> ExclusiveTable(const std::filesystem::path& htemp, const char* name,
                                           const char* indexTag) {
  auto table = std::make_unique<dbf::Table>(htemp, name);
  table->SetExclusive(true);
  table->SetIndexName(indexTag);
  return table;
}

void RequireSolucLayout(const dbf::Table& soluc) {
  RequireReadableFields(soluc, {"ASIG", "PROF", "CODGRUPO", "AULA", "DIA", "HORA", "SESIONES"});
}

void RequireDiasHorasLayout(const dbf::Table& diasHoras) {
  RequireReadableFields(diasHoras, {"DIA", "HORA", "HORADESDE", "HORAHASTA"});
}

void RequireGruposLayout(const dbf::Table& grupos) {
  RequireReadableFields(grupos, {"ABREV", "NOMEABREVSUBGRUXADE", "NOMEABREVGRUPXADE", "CODCURSOXADE"});
}

void RequireProfesoresLayout(const dbf::Table& profesores) { RequireReadableFields(profesores, {"ABREV", "NOMBRE"}); }

void RequireAsignaturasLayout(const dbf::Table& asignaturas) {
  RequireReadableFields(asignaturas, {"COD", "CODCURSO", "ABREVXADE"});
}

}  // namespace ludaro
