#include "common/session/run_report.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

#include "common/error.h"
#include "common/utf.h"
#include "common/version.h"

namespace ludaro {
namespace {

struct ReasonText {
  const char* heading;
  const char* detail;  // what the detail value is
  // How the XADE files are written, not a loss: told as one count in the
  // summary ("%" stands for it), singular then plural, instead of a list.
  const char* normalOne;
  const char* normalMany;
};

// In the order of LeftOutReason, which is the order the steps run in.
constexpr ReasonText kLeftOutText[] = {
    // gruposCentro.csv holds the groups of every convocatoria of the school.
    {"Grupos de otra convocatoria", "convocatoria", "% línea de grupos de otra convocatoria",
     "% líneas de grupos de otras convocatorias"},
    {"Grupos cuyo curso no está en la tabla de cursos (CURSOST.DBF)", "curso", nullptr, nullptr},
    // The subgroups of those groups follow them; a group left out for its
    // course is listed above.
    {"Subgrupos cuyo grupo no se importó", "grupo", "% línea de subgrupos de un grupo no importado",
     "% líneas de subgrupos de grupos no importados"},
    // The general offer lists the subjects of every course taught anywhere.
    {"Materias de la oferta general de un curso no importado que no son tareas", "curso",
     "% materia de la oferta general para un curso no importado",
     "% materias de la oferta general para cursos no importados"},
    {"Actividades cuyo código ya tiene una materia o una actividad anterior", "código", nullptr, nullptr},
    // profesoresGrupoCentro.csv has a line for each group a teacher teaches.
    {"Profesores que ya figuraban en una línea anterior (mismo código de empleado)", "empleado",
     "% línea repetida de profesores ya leídos", "% líneas repetidas de profesores ya leídos"},
    {"Aulas que ya figuraban en una línea anterior (mismo código)", "aula", nullptr, nullptr},
    {"Filas del horario del día 0, que Horalia no colocó", "materia", nullptr, nullptr},
    {"Filas del horario cuyo profesor no está en PROFT.DBF", "profesor", nullptr, nullptr},
    {"Filas del horario cuya materia no ofrece ASIGNOMT2.DBF al curso del grupo", "materia", nullptr, nullptr},
};
static_assert(std::size(kLeftOutText) == static_cast<std::size_t>(LeftOutReason::UnknownSubject) + 1);

struct WarningText {
  const char* heading;
  // The line's text: "%c" the code, "%v" the value, "%o" the other line.
  const char* detail;
};

// In the order of DataWarning.
constexpr WarningText kWarningText[] = {
    {"Códigos de empleado con otro nombre en otra línea",
     "empleado %c: el nombre «%v» no se guarda; vale el de la línea %o"},
    {"Códigos de curso con otro nombre en otra línea", "curso %c: «%v», con otro nombre en la línea %o"},
    {"Códigos de grupo con otro nombre en otra línea", "grupo %c: «%v», con otro nombre en la línea %o"},
    {"Materias con otro nombre en otra línea", "materia %c: «%v»; ASIGNOMT.DBF guarda el nombre de la línea %o"},
    {"Códigos de aula con otro nombre en otra línea", "aula %c: el nombre «%v» no se guarda; vale el de la línea %o"},
    {"Profesores sin grupo", "empleado %c: ninguna de sus líneas nombra un grupo"},
    {"Grupos sin materias", "grupo %c: la oferta de materias no tiene su curso %v"},
    {"Horas de la plantilla que se solapan o van hacia atrás",
     "hora %c: empieza a las %v, antes de que acabe la hora del registro %o"},
    {"Filas del horario en una hora que la plantilla no tiene", "hora %c: %v"},
};
static_assert(std::size(kWarningText) == static_cast<std::size_t>(DataWarning::SessionOutsideTemplate) + 1);

const char* DeviationText(DeviationReason reason) {
  switch (reason) {
    case DeviationReason::Taken:
      return "ya la tiene otra fila";
    case DeviationReason::TooLong:
      return "demasiado larga para el campo";
    case DeviationReason::Empty:
      return "sin datos para formarla";
    case DeviationReason::CodePage:
      return "un carácter que la página de códigos no tiene";
  }
  return "";
}

std::string FileName(std::string_view file) { return std::filesystem::u8path(std::string(file)).filename().u8string(); }

std::string Cell(const std::string& text) { return text.empty() ? "(en blanco)" : text; }

std::string ReplaceAll(std::string text, std::string_view what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

std::string Counted(std::uint64_t count, const char* one, const char* many) {
  return ReplaceAll(count == 1 ? one : many, "%", std::to_string(count));
}

std::string Timestamp(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[32];
  if (std::strftime(text, sizeof text, "%d/%m/%Y %H:%M", &local) == 0) return {};
  return text;
}

bool IsNormal(std::size_t reason) { return kLeftOutText[reason].normalOne != nullptr; }

}  // namespace

std::string OneLine(const std::u16string& text) {
  std::u16string line;
  line.reserve(text.size());
  bool inBreak = false;
  for (const char16_t c : text) {
    if (c == u'\r' || c == u'\n') {
      if (!inBreak) line.push_back(u' ');
      inBreak = true;
    } else {
      line.push_back(c);
      inBreak = false;
    }
  }
  return U16ToUtf8(line);
}

RunReport::RunReport(ReportedDirection direction, std::time_t when) : direction_(direction), when_(when) {}

void RunReport::StepStarted(std::string_view step) { step_ = step; }

void RunReport::RowsWritten(std::string_view table, std::uint64_t count) {
  // Rows come in runs of one table, so the table of the last call is tried first.
  if (lastTable_ < rowsWritten_.size() && rowsWritten_[lastTable_].first == table) {
    rowsWritten_[lastTable_].second += count;
    return;
  }
  for (lastTable_ = 0; lastTable_ < rowsWritten_.size(); ++lastTable_) {
    if (rowsWritten_[lastTable_].first == table) {
      rowsWritten_[lastTable_].second += count;
      return;
    }
  }
  rowsWritten_.emplace_back(std::string(table), count);
}

void RunReport::Add(Group& group, std::string_view file, long line, std::string detail) {
  ++group.count;
  if (group.listed.size() < kListedPerReason) group.listed.push_back({FileName(file), line, std::move(detail)});
}

void RunReport::RowLeftOut(LeftOutReason reason, std::string_view file, long line, std::u16string_view detail) {
  Group& group = leftOut_[static_cast<std::size_t>(reason)];
  // The detail of a line past the listed ones is never read: not worth its conversion.
  if (group.listed.size() >= kListedPerReason) {
    ++group.count;
    return;
  }
  Add(group, file, line, U16ToUtf8(detail));
}

void RunReport::AbbreviationDeviated(std::string_view table, DeviationReason reason, std::u16string_view natural,
                                     std::u16string_view stored) {
  deviations_.push_back({std::string(table), reason, U16ToUtf8(natural), U16ToUtf8(stored)});
}

void RunReport::DataWarned(DataWarning warning, std::string_view file, long line, std::u16string_view code,
                           std::u16string_view value, std::string_view otherFile, long otherLine) {
  Group& group = warnings_[static_cast<std::size_t>(warning)];
  if (group.listed.size() >= kListedPerReason) {
    ++group.count;
    return;
  }
  // One pass over the pattern, so that a name holding "%c" stays as typed.
  std::string detail;
  for (const char* p = kWarningText[static_cast<std::size_t>(warning)].detail; *p; ++p) {
    if (*p != '%' || !p[1]) {
      detail += *p;
      continue;
    }
    switch (*++p) {
      case 'c': detail += Cell(U16ToUtf8(code)); break;
      case 'v': detail += U16ToUtf8(value); break;
      case 'o':
        if (!otherFile.empty()) detail += FileName(otherFile) + ":";
        detail += std::to_string(otherLine);
        break;
      default: detail += *p; break;
    }
  }
  Add(group, file, line, std::move(detail));
}

void RunReport::Setting(std::string name, std::string value) {
  for (auto& setting : settings_) {
    if (setting.first == name) {
      setting.second = std::move(value);
      return;
    }
  }
  settings_.emplace_back(std::move(name), std::move(value));
}

void RunReport::Said(std::string line) { said_.push_back(std::move(line)); }

void RunReport::FileWritten(std::string name, std::uint64_t lines) {
  filesWritten_.emplace_back(std::move(name), lines);
}

void RunReport::Stopped(std::string why, std::vector<std::string> details) {
  stop_ = Stop{step_, std::move(why), std::move(details)};
}

void RunReport::Ended(std::int32_t resultCode, std::optional<int> exitStatus) {
  resultCode_ = resultCode;
  exitStatus_ = exitStatus;
}

ReportDocument RunReport::Document() const {
  ReportDocument document;
  document.title = direction_ == ReportedDirection::Import ? "Informe de la importación" : "Informe de la exportación";
  document.facts.push_back({"Programa", "", std::string("Ludaro ") + kVersion, "", {}});
  document.facts.push_back({"Fecha", "", Timestamp(when_), "", {}});
  for (const auto& [name, value] : settings_) document.facts.push_back({name, "", value, "", {}});
  document.sections.push_back(SummarySection());
  document.sections.push_back(RowsSection());
  document.sections.push_back(LeftOutSection());
  document.sections.push_back(DeviationsSection());
  document.sections.push_back(WarningsSection());
  document.sections.push_back(MessagesSection());
  document.sections.push_back(NoteSection());
  return document;
}

ReportSection RunReport::SummarySection() const {
  ReportSection summary;
  summary.id = "resumen";
  summary.title = "Resumen";
  if (stop_) {
    ReportItem result{"Resultado", "detenido",
                      (stop_->step.empty() ? std::string("antes del primer paso") : "en el paso " + stop_->step) +
                          ": " + stop_->why,
                      "",
                      {}};
    for (const auto& detail : stop_->details) result.children.push_back({"", "", detail, "", {}});
    summary.items.push_back(std::move(result));
  } else {
    summary.items.push_back({"Resultado", "", "terminado", "", {}});
  }
  if (resultCode_) summary.items.push_back({"Código de resultado", "", std::to_string(*resultCode_), "", {}});
  if (exitStatus_) summary.items.push_back({"Estado de salida", "", std::to_string(*exitStatus_), "", {}});

  std::uint64_t rows = 0;
  for (const auto& written : rowsWritten_) rows += written.second;
  std::string rowsText = std::to_string(rows) + " en " + std::to_string(rowsWritten_.size()) +
                         (rowsWritten_.size() == 1 ? " tabla" : " tablas");
  for (const auto& [file, lines] : filesWritten_) rowsText += "; " + file + ": " + std::to_string(lines) + " líneas";
  summary.items.push_back({"Filas escritas", "", rowsText, "filas", {}});

  std::uint64_t leftOut = 0;
  for (std::size_t reason = 0; reason < leftOut_.size(); ++reason)
    if (!IsNormal(reason)) leftOut += leftOut_[reason].count;
  summary.items.push_back({"Líneas y filas omitidas", "", std::to_string(leftOut), "omitidas", {}});
  summary.items.push_back({"Abreviaturas cambiadas", "", std::to_string(deviations_.size()), "abreviaturas", {}});

  std::uint64_t warned = 0;
  ReportItem warnings{"Avisos sobre los datos", "", "", "avisos", {}};
  for (std::size_t kind = 0; kind < warnings_.size(); ++kind) {
    if (warnings_[kind].count == 0) continue;
    warned += warnings_[kind].count;
    warnings.children.push_back(
        {kWarningText[kind].heading, "", std::to_string(warnings_[kind].count), "aviso-" + std::to_string(kind + 1), {}});
  }
  warnings.text = std::to_string(warned);
  summary.items.push_back(std::move(warnings));

  for (std::size_t reason = 0; reason < leftOut_.size(); ++reason) {
    if (!IsNormal(reason) || leftOut_[reason].count == 0) continue;
    summary.items.push_back(
        {"", "", Counted(leftOut_[reason].count, kLeftOutText[reason].normalOne, kLeftOutText[reason].normalMany),
         "", {}});
  }
  return summary;
}

ReportSection RunReport::RowsSection() const {
  ReportSection section;
  section.id = "filas";
  section.title = "Filas escritas";
  if (rowsWritten_.empty() && filesWritten_.empty()) {
    section.paragraphs.push_back("No se escribió ninguna tabla.");
    return section;
  }
  ReportTable table{{"Tabla", "Filas"}, {false, true}, {}};
  for (const auto& [name, rows] : rowsWritten_) table.rows.push_back({name + ".DBF", std::to_string(rows)});
  for (const auto& [file, lines] : filesWritten_) table.rows.push_back({file, std::to_string(lines) + " líneas"});
  section.table = std::move(table);
  return section;
}

ReportSection RunReport::LeftOutSection() const {
  ReportSection section;
  section.id = "omitidas";
  section.title = "Líneas y filas omitidas";
  for (std::size_t reason = 0; reason < leftOut_.size(); ++reason) {
    if (leftOut_[reason].count == 0 || IsNormal(reason)) continue;
    section.subsections.push_back(GroupSection("omitidas-" + std::to_string(reason + 1),
                                               kLeftOutText[reason].heading, leftOut_[reason],
                                               std::string(kLeftOutText[reason].detail) + " "));
  }
  if (section.subsections.empty()) section.paragraphs.push_back("No se omitió nada.");
  return section;
}

ReportSection RunReport::GroupSection(std::string id, const char* title, const Group& group,
                                      const std::string& detailPrefix) {
  ReportSection section;
  section.id = std::move(id);
  section.title = title;
  section.count = group.count;
  for (const auto& listed : group.listed)
    section.items.push_back({listed.file + ":" + std::to_string(listed.line), "",
                             detailPrefix + Cell(listed.detail), "", {}});
  section.more = group.count - group.listed.size();
  return section;
}

ReportSection RunReport::DeviationsSection() const {
  ReportSection section;
  section.id = "abreviaturas";
  section.title = "Abreviaturas cambiadas";
  if (deviations_.empty()) {
    section.paragraphs.push_back("Cada abreviatura es la que su fila tendría de forma natural.");
    return section;
  }
  ReportTable table{{"Tabla", "Natural", "Guardada", "Motivo"}, {false, false, false, false}, {}};
  for (const auto& deviation : deviations_)
    table.rows.push_back(
        {deviation.table + ".DBF", Cell(deviation.natural), Cell(deviation.stored), DeviationText(deviation.reason)});
  section.table = std::move(table);
  return section;
}

ReportSection RunReport::WarningsSection() const {
  ReportSection section;
  section.id = "avisos";
  section.title = "Avisos sobre los datos";
  for (std::size_t kind = 0; kind < warnings_.size(); ++kind) {
    if (warnings_[kind].count == 0) continue;
    section.subsections.push_back(
        GroupSection("aviso-" + std::to_string(kind + 1), kWarningText[kind].heading, warnings_[kind], ""));
  }
  if (section.subsections.empty()) section.paragraphs.push_back("Nada en los datos pide una revisión.");
  return section;
}

ReportSection RunReport::MessagesSection() const {
  ReportSection section;
  section.id = "mensajes";
  section.title = "Mensajes";
  if (said_.empty()) section.paragraphs.push_back("El proceso no mostró ningún mensaje.");
  for (const auto& line : said_) section.items.push_back({"", "", line, "", {}});
  return section;
}

ReportSection RunReport::NoteSection() const {
  ReportSection section;
  section.id = "nota";
  section.title = "Nota";
  if (direction_ == ReportedDirection::Import) {
    section.paragraphs.push_back(
        "Los avisos no comprueban dos casos que los archivos de XADE no permiten distinguir de datos normales: "
        "un curso de la convocatoria sin grupos (la tabla de cursos se forma con los cursos de las líneas de "
        "grupos, así que cada curso tiene al menos uno) y una materia ofertada a un curso sin profesor "
        "(profesoresGrupoCentro.csv une cada profesor con sus grupos, no con sus materias).");
    section.paragraphs.push_back(
        "Un profesor cuenta como sin grupo solo si ninguna de sus líneas nombra un grupo: el archivo de "
        "profesores trae los de todas las convocatorias, y un grupo de otra convocatoria es normal.");
  } else {
    section.paragraphs.push_back(
        "Las horas de la plantilla se comparan en el orden de HORA: una hora que empieza antes de que acabe "
        "(o de que empiece) la anterior es un aviso.");
  }
  return section;
}

// ------------------------------------------------------------ the dialog

void ReportingDialog::Message(const std::u16string& text) {
  shown_.Message(text);
  report_.Said(OneLine(text));
}

bool ReportingDialog::Question(const std::u16string& caption, const std::u16string& text) {
  const bool answer = shown_.Question(caption, text);
  report_.Said(OneLine(caption) + ": " + OneLine(text) + " -> " + (answer ? "Aceptar" : "Cancelar"));
  return answer;
}

// ------------------------------------------------------------ the file

bool IsHtmlFile(const std::filesystem::path& file) {
  std::string extension = file.extension().u8string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".html" || extension == ".htm";
}

void WriteFileReplacing(const std::filesystem::path& file, std::string_view text) {
  std::filesystem::path temporary = file;
  temporary += ".new";
  const std::string name = file.u8string();
  {
    std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
    if (!stream) {
      const std::filesystem::path folder = file.parent_path();
      std::error_code ignored;
      if (!folder.empty() && !std::filesystem::is_directory(folder, ignored))
        throw Error(name + " could not be written: the folder " + folder.u8string() + " does not exist", name);
      throw Error(name + " could not be written", name);
    }
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    stream.close();
    if (!stream) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw Error(name + " could not be written", name);
    }
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, file, renameError);
  if (renameError) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    throw Error(name + " could not be replaced: " + renameError.message(), name);
  }
}

}  // namespace ludaro
