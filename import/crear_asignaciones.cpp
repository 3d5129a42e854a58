#include "import/crear_asignaciones.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/clipper.h"
#include "common/dbf/table.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/stored_text.h"
#include "import/text_set.h"

namespace ludaro {
namespace {

constexpr double kDefaultHoras = 4.0;
constexpr const char16_t* kDefaultSesiones = u"1111";

// The group table holds course codes in fewer characters than the offer:
// both are compared as the group table keeps them.
std::u16string CourseKey(const std::u16string& codCurso, int groupCourseWidth) {
  return StoredText(codCurso, groupCourseWidth);
}

TextSet TaskCodes(dbf::Table& materias) {
  TextSet tasks;
  for (materias.First(); !materias.Eof(); materias.Next())
    if (materias.AsBoolean("ESTAREA")) tasks.Insert(materias.AsString("COD"));
  return tasks;
}

// The offer by course, each course's subjects in the offer's row order, so
// that every group visits only the subjects of its own course. A subject
// listed twice for a course is kept once: its first line decides. Courses
// and codes are numbered once and the subjects of all courses lie in one
// array, course after course: a walk of a million groups costs a probe and a
// short run of that array, not a heap node per course and a string per
// subject scattered over memory.
class CourseOffer {
 public:
  // Both are numbers of texts, read back with Text().
  struct Subject {
    std::uint32_t cod;
    std::uint32_t ctarea;  // the offer's task when ASIGNOMT holds it as a task, else the empty text
  };
  using Range = std::pair<const Subject*, const Subject*>;

  CourseOffer(dbf::Table& oferta, const TextSet& tasks, int groupCourseWidth) {
    const std::uint32_t noTask = texts_.Add(u"");
    struct Line {
      std::uint32_t course;
      Subject subject;
    };
    std::vector<Line> lines;
    for (oferta.First(); !oferta.Eof(); oferta.Next()) {
      const std::u16string codTarea = oferta.AsString("CODTAREA");
      const std::uint32_t course = courses_.Add(CourseKey(oferta.AsString("CODCURSO"), groupCourseWidth));
      const std::uint32_t cod = texts_.Add(oferta.AsString("COD"));
      lines.push_back({course, {cod, tasks.Contains(codTarea) ? texts_.Add(codTarea) : noTask}});
    }
    // Placed by counting, which keeps the offer's order within a course.
    starts_.assign(courses_.Size() + 1, 0);
    for (const Line& line : lines) ++starts_[line.course + 1];
    for (std::size_t i = 1; i < starts_.size(); ++i) starts_[i] += starts_[i - 1];
    subjects_.resize(lines.size());
    std::vector<std::size_t> next(starts_.begin(), starts_.end() - 1);
    for (const Line& line : lines) subjects_[next[line.course]++] = line.subject;
    KeepFirstOfEachSubject();
  }

  // The subjects of a course given as the group table keeps its code.
  Range Of(std::u16string_view course) const {
    const auto number = courses_.Find(course);
    if (!number) return {nullptr, nullptr};
    return {subjects_.data() + starts_[*number], subjects_.data() + starts_[*number + 1]};
  }

  std::u16string_view Text(std::uint32_t number) const { return texts_.Text(number); }

 private:
  void KeepFirstOfEachSubject() {
    // Per code, the course (plus one) whose run last kept it.
    std::vector<std::size_t> keptFor(texts_.Size(), 0);
    std::size_t kept = 0;
    std::size_t begin = 0;
    for (std::size_t course = 0; course + 1 < starts_.size(); ++course) {
      const std::size_t end = starts_[course + 1];
      starts_[course] = kept;
      for (std::size_t i = begin; i < end; ++i) {
        if (keptFor[subjects_[i].cod] == course + 1) continue;
        keptFor[subjects_[i].cod] = course + 1;
        subjects_[kept++] = subjects_[i];
      }
      begin = end;
    }
    starts_.back() = kept;
    subjects_.resize(kept);
  }

  TextSet courses_;
  TextSet texts_;
  std::vector<std::size_t> starts_;  // course n's subjects are [starts_[n], starts_[n + 1])
  std::vector<Subject> subjects_;
};

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
  const CourseOffer offer(oferta, TaskCodes(materias), groupCourseWidth);
  const std::vector<std::uint64_t> sharedAbbreviations = SharedAbbreviationHashes(grupos);
  // Pairs of group and subject abbreviation already in the table for the
  // groups that may share an abbreviation: a subject is assigned to a group
  // once, even to a group named twice.
  TextSet assigned;

  for (grupos.First(); !grupos.Eof(); grupos.Next()) {
    if (!IsWholeGroup(grupos)) continue;
    // Read from the group table, the course code is already as it keeps it.
    const std::u16string codCurso = grupos.AsString("CODCURSOXADE");
    const auto [first, last] = offer.Of(codCurso);
    if (first == last) {
      context.log.DataWarned(DataWarning::GroupWithoutSubject, grupos.path().u8string(),
                             static_cast<long>(grupos.RecNo()), grupos.AsString("ABREV"), codCurso, {}, 0);
      continue;
    }
    const std::u16string abrev = grupos.AsString("ABREV");
    const bool shared = std::binary_search(sharedAbbreviations.begin(), sharedAbbreviations.end(), HashOf(abrev));
    const std::u16string turno = grupos.AsString("TURNO");
    const std::u16string nivel = grupos.AsString("NIVEL");
    const std::u16string curso = grupos.AsString("CURSO");
    const std::u16string grupo = grupos.AsString("GRUPO");
    const std::u16string clave = grupos.AsString("CODGRUXADE");
    for (auto subject = first; subject != last; ++subject) {
      const std::u16string_view cod = offer.Text(subject->cod);
      if (shared && !assigned.Insert(abrev + u'\n' + std::u16string(cod))) continue;
      asignaciones.Append();
      asignaciones.SetString("CASIG", cod);
      asignaciones.SetString("CGRUP", abrev);
      asignaciones.SetString("CAULA", u"");
      asignaciones.SetString("TURNO", turno);
      asignaciones.SetString("NIVEL", nivel);
      asignaciones.SetString("CURSO", curso);
      asignaciones.SetString("GRUPO", grupo);
      asignaciones.SetFloat("HORAS", kDefaultHoras);
      asignaciones.SetString("SESIONES", kDefaultSesiones);
      asignaciones.SetString("CLAVE", clave);
      asignaciones.SetString("CLAVECURSO", codCurso);
      asignaciones.SetString("CTAREA", offer.Text(subject->ctarea));
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
