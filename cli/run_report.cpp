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
    {"Groups of another convocatoria", "convocatoria"},
    {"Groups whose course is not in the course table (CURSOST.DBF)", "course"},
    {"Subgroups whose group was not imported", "group"},
    {"Subjects of the general offer for a course not imported, and not a task", "course"},
    {"Activities whose code a subject or an earlier activity already has", "code"},
    {"Teachers an earlier line already listed (same employee code)", "employee"},
    {"Classrooms an earlier line already listed (same code)", "classroom"},
    {"Timetable rows of day 0, which Horalia did not place", "subject"},
    {"Timetable rows whose teacher is not in PROFT.DBF", "teacher"},
    {"Timetable rows whose subject ASIGNOMT2.DBF does not offer to the group's course", "subject"},
};
static_assert(std::size(kLeftOutText) == static_cast<std::size_t>(LeftOutReason::UnknownSubject) + 1);

const char* DeviationText(DeviationReason reason) {
  switch (reason) {
    case DeviationReason::Taken:
      return "taken by another row";
    case DeviationReason::TooLong:
      return "too long for the field";
    case DeviationReason::Empty:
      return "nothing to build it from";
    case DeviationReason::CodePage:
      return "a character the code page lacks";
  }
  return "";
}

std::string FileName(std::string_view file) { return std::filesystem::u8path(std::string(file)).filename().u8string(); }

std::string Cell(const std::string& text) { return text.empty() ? "*(empty)*" : MarkdownText(text); }

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
  std::string page = "# ludaro-cli " + command_ + "\n\n";
  for (const auto& [name, value] : settings_) page += "- " + name + ": " + MarkdownText(value) + "\n";
  if (stop_) {
    page += "- Outcome: **stopped** " +
            (stop_->step.empty() ? std::string("before its first step") : "in " + MarkdownText(stop_->step)) + ": " +
            MarkdownText(stop_->why) + "\n";
    for (const auto& detail : stop_->details) page += "  - " + MarkdownText(detail) + "\n";
  } else {
    page += "- Outcome: finished\n";
  }
  if (end_) {
    page += "- Result code: " + std::to_string(end_->first) + "\n";
    page += "- Exit status: " + std::to_string(end_->second) + "\n";
  }

  page += "\n## Rows written\n\n";
  if (rowsWritten_.empty() && filesWritten_.empty()) {
    page += "No table was written.\n";
  } else {
    page += "| Table | Rows |\n|---|---:|\n";
    for (const auto& [table, rows] : rowsWritten_)
      page += "| " + MarkdownText(table) + ".DBF | " + std::to_string(rows) + " |\n";
    for (const auto& [file, lines] : filesWritten_)
      page += "| " + MarkdownText(file) + " | " + std::to_string(lines) + " lines |\n";
  }

  RenderLeftOut(page);
  RenderDeviations(page);

  page += "\n## Messages\n\n";
  if (said_.empty()) page += "The run showed no message.\n";
  for (const auto& line : said_) page += "- " + MarkdownText(line) + "\n";
  return page;
}

void RunReport::RenderLeftOut(std::string& page) const {
  page += "\n## Lines and rows left out\n\n";
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
      page += "- … and " + std::to_string(group.count - group.listed.size()) + " more\n";
    page += "\n";
  }
  if (!any) page += "Nothing was left out.\n";
}

void RunReport::RenderDeviations(std::string& page) const {
  page += "\n## Abbreviations changed\n\n";
  if (deviations_.empty()) {
    page += "Every abbreviation is the one its row would naturally have.\n";
    return;
  }
  page += "| Table | Natural | Stored | Why |\n|---|---|---|---|\n";
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
  report_.Said(OneLine(caption) + ": " + OneLine(text) + " -> " + (answer ? "OK" : "Cancel"));
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
