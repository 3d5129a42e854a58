#include "import/crear_asignaciones.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/clipper.h"
#include "common/dbf/table.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/stored_text.h"

namespace ludaro {
namespace {

constexpr double kDefaultHoras = 4.0;
constexpr const char16_t* kDefaultSesiones = u"1111";

struct OfferedSubject {
  std::u16string cod;
  std::u16string ctarea;  // the offer's task when ASIGNOMT holds it as a task, else empty
};

// The group table holds course codes in fewer characters than the offer:
// both are compared as the group table keeps them.
std::u16string CourseKey(const std::u16string& codCurso, int groupCourseWidth) {
  return StoredText(codCurso, groupCourseWidth);
}

std::unordered_set<std::u16string> TaskCodes(dbf::Table& materias) {
  std::unordered_set<std::u16string> tasks;
  for (materias.First(); !materias.Eof(); materias.Next())
    if (materias.AsBoolean("ESTAREA")) tasks.insert(materias.AsString("COD"));
  return tasks;
}

// The offer by course, each course's subjects in the offer's row order, so
// that every group visits only the subjects of its own course. A subject
// listed twice for a course is kept once: its first line decides.
std::unordered_map<std::u16string, std::vector<OfferedSubject>> OfferByCourse(
    dbf::Table& oferta, const std::unordered_set<std::u16string>& tasks, int groupCourseWidth) {
  std::unordered_map<std::u16string, std::vector<OfferedSubject>> byCourse;
  for (oferta.First(); !oferta.Eof(); oferta.Next()) {
    std::u16string codTarea = oferta.AsString("CODTAREA");
    if (tasks.count(codTarea) == 0) codTarea.clear();
    byCourse[CourseKey(oferta.AsString("CODCURSO"), groupCourseWidth)].push_back(
        {oferta.AsString("COD"), std::move(codTarea)});
  }
  std::unordered_set<std::u16string_view> seen;
  for (auto& [course, subjects] : byCourse) {
    seen.clear();
    subjects.erase(std::remove_if(subjects.begin(), subjects.end(),
                                  [&seen](const OfferedSubject& subject) { return !seen.insert(subject.cod).second; }),
                   subjects.end());
  }
  return byCourse;
}

std::uint64_t HashOf(std::u16string_view text) { return std::hash<std::u16string_view>{}(text); }

bool IsWholeGroup(dbf::Table& grupos) { return AllTrim(grupos.AsString("CODSUBGRUXADE")).empty(); }

// The hashes of the abbreviations that more than one whole group may share.
// A table the import wrote has none, so remembering the subjects each group
// got, a string per assignment, is left to the groups these hashes name.
std::vector<std::uint64_t> SharedAbbreviationHashes(dbf::Table& grupos) {
  std::vector<std::uint64_t> hashes;
  for (grupos.First(); !grupos.Eof(); grupos.Next())
    if (IsWholeGroup(grupos)) hashes.push_back(HashOf(grupos.AsString("ABREV")));
  std::sort(hashes.begin(), hashes.end());
  std::vector<std::uint64_t> shared;
  for (std::size_t i = 1; i < hashes.size(); ++i)
    if (hashes[i] == hashes[i - 1] && (shared.empty() || shared.back() != hashes[i])) shared.push_back(hashes[i]);
  return shared;
}

}  // namespace

void CrearAsignaciones(ImportStepContext& context) {
  dbf::DeleteTable(context.htemp, kAsignacionesTable);
  dbf::Table asignaciones(context.htemp, kAsignacionesTable);
  asignaciones.Create(AsignacionesTableDef());
  asignaciones.SetExclusive(true);
  asignaciones.Open();

  dbf::Table materias(context.htemp, kMateriasTable);
  materias.SetExclusive(true);
  materias.Open();
  dbf::Table grupos(context.htemp, kGruposTable);
  grupos.SetExclusive(true);
  grupos.Open();
  RequireLayout(grupos, GruposTableDef());
  dbf::Table oferta(context.htemp, kOfertaMateriasTable);
  oferta.SetExclusive(true);
  oferta.Open();

  const int groupCourseWidth = FieldWidth(GruposTableDef(), "CODCURSOXADE");
  const auto byCourse = OfferByCourse(oferta, TaskCodes(materias), groupCourseWidth);
  const std::vector<std::uint64_t> sharedAbbreviations = SharedAbbreviationHashes(grupos);
  // Pairs of group and subject abbreviation already in the table for the
  // groups that may share an abbreviation: a subject is assigned to a group
  // once, even to a group named twice.
  std::unordered_set<std::u16string> assigned;

  for (grupos.First(); !grupos.Eof(); grupos.Next()) {
    if (!IsWholeGroup(grupos)) continue;
    // Read from the group table, the course code is already as it keeps it.
    const auto offered = byCourse.find(grupos.AsString("CODCURSOXADE"));
    if (offered == byCourse.end()) continue;
    const std::u16string abrev = grupos.AsString("ABREV");
    const bool shared = std::binary_search(sharedAbbreviations.begin(), sharedAbbreviations.end(), HashOf(abrev));
    for (const OfferedSubject& subject : offered->second) {
      if (shared && !assigned.insert(abrev + u'\n' + subject.cod).second) continue;
      asignaciones.Append();
      asignaciones.SetString("CASIG", subject.cod);
      asignaciones.SetString("CGRUP", abrev);
      asignaciones.SetString("CAULA", u"");
      asignaciones.SetString("TURNO", grupos.AsString("TURNO"));
      asignaciones.SetString("NIVEL", grupos.AsString("NIVEL"));
      asignaciones.SetString("CURSO", grupos.AsString("CURSO"));
      asignaciones.SetString("GRUPO", grupos.AsString("GRUPO"));
      asignaciones.SetFloat("HORAS", kDefaultHoras);
      asignaciones.SetString("SESIONES", kDefaultSesiones);
      asignaciones.SetString("CLAVE", grupos.AsString("CODGRUXADE"));
      asignaciones.SetString("CLAVECURSO", grupos.AsString("CODCURSOXADE"));
      asignaciones.SetString("CTAREA", subject.ctarea);
      asignaciones.Post();
      context.log.RowWritten(kAsignacionesTable);
    }
  }
  asignaciones.Close();
  grupos.Close();
  oferta.Close();
  materias.Close();
}

}  // namespace ludaro
