#include "import/leer_materias.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/dbf/table.h"
#include "common/xade_csv.h"
#include "import/abbreviation_deviation.h"
#include "import/abbreviation_schemes.h"
#include "import/first_names.h"
#include "import/timetable_tables.h"
#include "import/import_tables.h"
#include "import/stored_text.h"
#include "import/text_set.h"
#include "import/used_abbreviations.h"

namespace ludaro {
namespace {

// "0" in the task column means the line has no task.
std::u16string TaskCode(const std::u16string& field) { return field == u"0" ? std::u16string() : field; }

class SubjectWriter {
 public:
  explicit SubjectWriter(ImportStepContext& context)
      : context_(context),
        materias_(context.htemp, kMateriasTable),
        oferta_(context.htemp, kOfertaMateriasTable),
        abbreviations_(SubjectCandidate) {
    OpenNewTable(materias_, context.htemp, kMateriasTable, MateriasTableDef());
    OpenNewTable(oferta_, context.htemp, kOfertaMateriasTable, OfertaMateriasTableDef());
  }

  void SubjectLine(const XadeLine& line) {
    // Every field is read before anything is written, so a short line stores
    // nothing of itself.
    const std::u16string& keyText = line.Field(3);
    const std::u16string& name = line.Field(4);
    const std::u16string& codMateria = line.Field(0);
    const std::u16string& codCurso = line.Field(1);
    const std::u16string codTarea = TaskCode(line.Field(2));
    const std::u16string& abrevXade = line.Field(5);

    // Keyed on the whole key text: the table's CODLARGO2 holds only its first
    // 50 characters, and every line of a subject must reach its abbreviation.
    WarnOfOtherName(line, keyText, name);
    auto subject = subjectKeys_.Find(keyText);
    if (!subject) {
      const std::u16string base = SubjectBase(keyText, name);
      subjectAbbreviations_.push_back(abbreviations_.Assign(base, base));
      subject = subjectKeys_.Add(keyText);
      LogDeviation(context_.log, kMateriasTable, abbreviations_.LastDeviation(), subjectAbbreviations_.back());
      materias_.Append();
      materias_.SetString("COD", subjectAbbreviations_.back());
      materias_.SetString("CODLARGO", keyText);
      materias_.SetString("NOMBRE", name);
      materias_.SetBoolean("ESTAREA", false);
      materias_.SetString("CODTAREA", codTarea);
      materias_.SetString("CODLARGO2", keyText);
      materias_.Post();
      context_.log.RowWritten(kMateriasTable);
    }
    oferta_.Append();
    oferta_.SetString("COD", subjectAbbreviations_[*subject]);
    oferta_.SetString("CODLARGO", keyText);
    oferta_.SetString("NOMBRE", name);
    oferta_.SetString("CODMATERIA", codMateria);
    oferta_.SetString("CODCURSO", codCurso);
    oferta_.SetBoolean("ESTAREA", false);
    oferta_.SetString("CODTAREA", codTarea);
    oferta_.SetString("ABREVXADE", abrevXade);
    oferta_.Post();
    context_.log.RowWritten(kOfertaMateriasTable);
  }

  // An activity whose code a subject or an earlier activity already holds,
  // in the same letter case, is left out.
  void ActivityLine(const XadeLine& line) {
    const std::u16string& code = line.Field(0);
    const std::u16string& keyText = line.Field(1);
    const std::u16string& name = line.Field(2);
    const std::u16string stored = StoredText(code, kAbbreviationWidth);
    if (materias_.Locate("COD", {stored})) {
      context_.log.RowLeftOut(LeftOutReason::DuplicateActivity, line.file(), line.lineNumber(), code);
      return;
    }
    if (const auto reason = StoringDeviation(code, stored, kAbbreviationWidth))
      context_.log.AbbreviationDeviated(kMateriasTable, *reason, code, stored);

    materias_.Append();
    materias_.SetString("COD", code);
    materias_.SetString("CODLARGO", keyText);
    materias_.SetString("NOMBRE", name);
    materias_.SetBoolean("ESTAREA", true);
    materias_.SetString("CODTAREA", code);
    materias_.SetString("CODLARGO2", keyText);
    materias_.Post();
    context_.log.RowWritten(kMateriasTable);
    oferta_.Append();
    oferta_.SetString("COD", code);
    oferta_.SetString("CODLARGO", keyText);
    oferta_.SetString("NOMBRE", name);
    oferta_.SetBoolean("ESTAREA", true);
    oferta_.SetString("CODTAREA", code);
    oferta_.Post();
    context_.log.RowWritten(kOfertaMateriasTable);
  }

  // ASIGNOMT keeps the name of a subject's first line; another name on a
  // later line (of either offer) is worth a look.
  void WarnOfOtherName(const XadeLine& line, const std::u16string& keyText, const std::u16string& name) {
    // Lines are numbered across the offers, each file's from its own
    // offset, so one number tells which file and line came first.
    if (files_.empty() || files_.back().first != line.file()) {
      const long offset = files_.empty() ? 0 : files_.back().second + lastLine_;
      files_.emplace_back(line.file(), offset);
    }
    lastLine_ = line.lineNumber();
    const long otherLine = names_.See(keyText, name, files_.back().second + line.lineNumber());
    if (otherLine == 0) return;
    auto first = files_.begin();
    while (first + 1 != files_.end() && (first + 1)->second < otherLine) ++first;
    context_.log.DataWarned(DataWarning::SubjectNameDiffers, line.file(), line.lineNumber(), keyText, name,
                            first->first == line.file() ? std::string() : first->first, otherLine - first->second);
  }

  void Close() {
    oferta_.Close();
    materias_.Close();
  }

  void ReportProgress(const XadeCsvReader& reader) {
    if (reader.LineNumber() % kProgressLines == 0)
      context_.dialog.Progress(u"LeerMaterias", static_cast<std::uint64_t>(reader.LineNumber()));
  }

 private:
  ImportStepContext& context_;
  dbf::Table materias_;
  dbf::Table oferta_;
  UsedAbbreviations abbreviations_;
  // Each subject key's abbreviation, by the key's number in subjectKeys_.
  TextSet subjectKeys_;
  std::vector<std::u16string> subjectAbbreviations_;
  // Each subject key's first name, and the files read so far with the
  // offset of their line numbers.
  HashedFirstNames names_;
  std::vector<std::pair<std::string, long>> files_;
  long lastLine_ = 0;
};

void ReadCentro(SubjectWriter& writer, XadeCsvReader& reader) {
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    writer.ReportProgress(reader);
    writer.SubjectLine(line);
  }
}

// The general offer lists every school's subjects: only those of the
// imported courses, and those of a task, belong to this school.
void ReadXeral(ImportStepContext& context, SubjectWriter& writer, const std::filesystem::path& file) {
  XadeCsvReader reader(file);
  dbf::Table cursos(context.htemp, kCursosTable);
  cursos.Open();
  RequireLayout(cursos, CursosTableDef());
  const int codeWidth = FieldWidth(CursosTableDef(), "CODCURSO");

  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    writer.ReportProgress(reader);
    const bool imported = cursos.Locate("CODCURSO", {StoredText(line.Field(1), codeWidth)});
    if (imported || line.Field(2) != u"0") {
      writer.SubjectLine(line);
    } else {
      context.log.RowLeftOut(LeftOutReason::CourseNotImported, reader.DisplayName(), reader.LineNumber(),
                             line.Field(1));
    }
  }
  cursos.Close();
}

void ReadActividades(SubjectWriter& writer, const std::filesystem::path& file) {
  XadeCsvReader reader(file);
  reader.SkipLine();
  XadeLine line;
  while (reader.ReadLine(line)) {
    writer.ReportProgress(reader);
    writer.ActivityLine(line);
  }
}

}  // namespace

void LeerMaterias(ImportStepContext& context) {
  const auto centro = RequiredXadeFile(context, "materiasHorarioOfertaCentro.csv",
                                       u"No existe archivo de Materias Centro (materiasHorarioOfertaCentro.CSV)");
  if (!centro) return;
  // Opened before the tables are touched: an unreadable offer leaves the
  // tables of an earlier import as they were.
  XadeCsvReader centroReader(*centro);
  SubjectWriter writer(context);
  ReadCentro(writer, centroReader);

  const auto xeral = RequiredXadeFile(context, "materiasHorarioOfertaXeral.csv",
                                      u"No existe archivo de Materias Generales (materiasHorarioOfertaXeral.CSV)");
  if (!xeral) {
    writer.Close();
    return;
  }
  ReadXeral(context, writer, *xeral);

  const auto actividades = RequiredXadeFile(context, "actividadesProfesor.csv",
                                            u"No existe archivo de Actividades (actividadesProfesor.CSV)");
  if (!actividades) {
    writer.Close();
    return;
  }
  ReadActividades(writer, *actividades);
  writer.Close();
}

}  // namespace ludaro
