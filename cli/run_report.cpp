#include "cli/run_report.h"

#include <fstream>
#include <system_error>

#include "cli/cli_dialog.h"
#include "common/error.h"
#include "common/utf.h"

namespace ludaro::cli {
namespace {

struct ReasonText {
  const char* heading;
  const char* detail;  // what the detail value is
};

// In the order of LeftOutReason, which is the order the steps run in.
constexpr ReasonText kLeftOutText[] = {
    {"Grupos de otra convocatoria", "convocatoria"},
    {"Grupos cuyo curso no está en la tabla de cursos (CURSOST.DBF)", "curso"},
    {"Subgrupos cuyo grupo no se importó", "grupo"},
    {"Materias de la oferta general de un curso no importado que no son tareas", "curso"},
    {"Actividades cuyo código ya tiene una materia o una actividad anterior", "código"},
    {"Profesores que ya figuraban en una línea anterior (mismo código de empleado)", "empleado"},
    {"Aulas que ya figuraban en una línea anterior (mismo código)", "aula"},
    {"Filas del horario del día 0, que Horalia no colocó", "materia"},
    {"Filas del horario cuyo profesor no está en PROFT.DBF", "profesor"},
    {"Filas del horario cuya materia no ofrece ASIGNOMT2.DBF al curso del grupo", "materia"},
};
static_assert(std::size(kLeftOutText) == static_cast<std::size_t>(LeftOutReason::UnknownSubject) + 1);

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

std::string Cell(const std::string& text) { return text.empty() ? "*(en blanco)*" : MarkdownText(text); }

}  // namespace

std::string MarkdownText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      escaped += ' ';
      continue;
    }
    if (std::string_view("\\`*_[]<>|#!~").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

RunReport::RunReport(std::string command) : command_(std::move(command)) {}

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

void RunReport::RowLeftOut(LeftOutReason reason, std::string_view file, long line, std::u16string_view detail) {
  LeftOutGroup& group = leftOut_[static_cast<std::size_t>(reason)];
  ++group.count;
  if (group.listed.size() < kListedPerReason)
    group.listed.push_back({FileName(file), line, U16ToUtf8(std::u16string(detail))});
}

void RunReport::AbbreviationDeviated(std::string_view table, DeviationReason reason, std::u16string_view natural,
                                     std::u16string_view stored) {
  deviations_.push_back(
      {std::string(table), reason, U16ToUtf8(std::u16string(natural)), U16ToUtf8(std::u16string(stored))});
}

void RunReport::Setting(std::string name, std::string value) {
  settings_.emplace_back(std::move(name), std::move(value));
}

void RunReport::Said(std::string line) { said_.push_back(std::move(line)); }

void RunReport::FileWritten(std::string name, std::uint64_t lines) {
  filesWritten_.emplace_back(std::move(name), lines);
}

void RunReport::Stopped(std::string why, std::vector<std::string> details) {
  stop_ = Stop{step_, std::move(why), std::move(details)};
}

void RunReport::Ended(std::int32_t resultCode, int exitStatus) { end_.emplace(resultCode, exitStatus); }

std::string RunReport::Markdown() const {
  std::string page = "# Informe de ludaro-cli " + command_ + "\n\n";
  for (const auto& [name, value] : settings_) page += "- " + name + ": " + MarkdownText(value) + "\n";
  if (stop_) {
    page += "- Resultado: **detenido** " +
            (stop_->step.empty() ? std::string("antes del primer paso") : "en el paso " + MarkdownText(stop_->step)) +
            ": " + MarkdownText(stop_->why) + "\n";
    for (const auto& detail : stop_->details) page += "  - " + MarkdownText(detail) + "\n";
  } else {
    page += "- Resultado: terminado\n";
  }
  if (end_) {
    page += "- Código de resultado: " + std::to_string(end_->first) + "\n";
    page += "- Estado de salida: " + std::to_string(end_->second) + "\n";
  }

  page += "\n## Filas escritas\n\n";
  if (rowsWritten_.empty() && filesWritten_.empty()) {
    page += "No se escribió ninguna tabla.\n";
  } else {
    page += "| Tabla | Filas |\n|---|---:|\n";
    for (const auto& [table, rows] : rowsWritten_)
      page += "| " + MarkdownText(table) + ".DBF | " + std::to_string(rows) + " |\n";
    for (const auto& [file, lines] : filesWritten_)
      page += "| " + MarkdownText(file) + " | " + std::to_string(lines) + " líneas |\n";
  }

  RenderLeftOut(page);
  RenderDeviations(page);

  page += "\n## Mensajes\n\n";
  if (said_.empty()) page += "El proceso no mostró ningún mensaje.\n";
  for (const auto& line : said_) page += "- " + MarkdownText(line) + "\n";
  return page;
}

void RunReport::RenderLeftOut(std::string& page) const {
  page += "\n## Líneas y filas omitidas\n\n";
  bool any = false;
  for (std::size_t reason = 0; reason < leftOut_.size(); ++reason) {
    const LeftOutGroup& group = leftOut_[reason];
    if (group.count == 0) continue;
    any = true;
    page += "### " + std::string(kLeftOutText[reason].heading) + ": " + std::to_string(group.count) + "\n\n";
    for (const auto& left : group.listed)
      page += "- " + MarkdownText(left.file) + ":" + std::to_string(left.line) + ": " + kLeftOutText[reason].detail +
              " " + Cell(left.detail) + "\n";
    if (group.count > group.listed.size())
      page += "- … y " + std::to_string(group.count - group.listed.size()) + " más\n";
    page += "\n";
  }
  if (!any) page += "No se omitió nada.\n";
}

void RunReport::RenderDeviations(std::string& page) const {
  page += "\n## Abreviaturas cambiadas\n\n";
  if (deviations_.empty()) {
    page += "Cada abreviatura es la que su fila tendría de forma natural.\n";
    return;
  }
  page += "| Tabla | Natural | Guardada | Motivo |\n|---|---|---|---|\n";
  for (const auto& deviation : deviations_)
    page += "| " + MarkdownText(deviation.table) + ".DBF | " + Cell(deviation.natural) + " | " +
            Cell(deviation.stored) + " | " + DeviationText(deviation.reason) + " |\n";
}

void ReportingDialog::Message(const std::u16string& text) {
  shown_.Message(text);
  report_.Said(OneLine(text));
}

bool ReportingDialog::Question(const std::u16string& caption, const std::u16string& text) {
  const bool answer = shown_.Question(caption, text);
  report_.Said(OneLine(caption) + ": " + OneLine(text) + " -> " + (answer ? "Aceptar" : "Cancelar"));
  return answer;
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

}  // namespace ludaro::cli
