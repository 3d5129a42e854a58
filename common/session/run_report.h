#pragma once

// The account of one run for the school office, in Spanish like the window:
// what ran and how it ended, the rows written to each table, the input
// lines that gave no row and why, the abbreviations that are not what their
// row would naturally have, what in the data looks wrong, and what the run
// said. ludaro-cli writes it with --report, the window after every run.
//
// RunReport keeps the facts the directions tell it (RunLog) and what the
// caller adds (settings, messages, the end). Document() arranges them, the
// summary first, into a ReportDocument that both renderers print, so a
// Markdown page and an HTML page of one run always say the same. Lines left
// out are counted without limit but listed only up to kListedPerReason per
// reason, since a large school can leave out a hundred thousand lines of
// other convocatorias.

#include <array>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/session/run_log.h"
#include "common/session/user_dialog.h"

namespace ludaro {

// ------------------------------------------------------------ the document

// A table of plain texts; `numeric` columns are aligned to the right.
struct ReportTable {
  std::vector<std::string> columns;
  std::vector<bool> numeric;
  std::vector<std::vector<std::string>> rows;
};

// One line of a list. `strong` is shown emphasised between "label: " and the
// text; `link` is the id of a section the line leads to, or empty.
struct ReportItem {
  std::string label;
  std::string strong;
  std::string text;
  std::string link;
  std::vector<ReportItem> children;
};

struct ReportSection {
  std::string id;  // the anchor a summary line links to
  std::string title;
  std::optional<std::uint64_t> count;  // shown after the title
  std::vector<std::string> paragraphs;
  std::vector<ReportItem> items;
  std::uint64_t more = 0;  // items counted but not listed
  std::optional<ReportTable> table;
  std::vector<ReportSection> subsections;
};

// Every text is plain: the renderers escape it for their format.
struct ReportDocument {
  std::string title;
  std::vector<ReportItem> facts;  // under the title: program, date, folders, convocatoria
  std::vector<ReportSection> sections;
};

std::string RenderMarkdown(const ReportDocument& document);
// One self-contained page: UTF-8, lang="es", inline CSS for screen and A4
// paper, no script and nothing fetched from elsewhere.
std::string RenderHtml(const ReportDocument& document);

// Text as Markdown shows it literally on one line: CR and LF become spaces
// and the characters Markdown would act on are escaped.
std::string MarkdownText(std::string_view text);
// Text as HTML shows it literally, in an element or an attribute.
std::string HtmlText(std::string_view text);

// ------------------------------------------------------------ the model

enum class ReportedDirection { Import, Export };

class RunReport : public RunLog {
 public:
  static constexpr std::size_t kListedPerReason = 20;

  explicit RunReport(ReportedDirection direction, std::time_t when = std::time(nullptr));

  void StepStarted(std::string_view step) override;
  void RowsWritten(std::string_view table, std::uint64_t count) override;
  void RowLeftOut(LeftOutReason reason, std::string_view file, long line, std::u16string_view detail) override;
  void AbbreviationDeviated(std::string_view table, DeviationReason reason, std::u16string_view natural,
                            std::u16string_view stored) override;
  void DataWarned(DataWarning warning, std::string_view file, long line, std::u16string_view code,
                  std::u16string_view value, std::string_view otherFile, long otherLine) override;

  // A line of the report's heading, such as the folders or the convocatoria;
  // a second one of the same name takes the place of the first.
  void Setting(std::string name, std::string value);
  // A message the run showed, as one line.
  void Said(std::string line);
  // A file other than a working table, such as HORARIO.CSV.
  void FileWritten(std::string name, std::uint64_t lines);
  // The run stopped, in the step started last, for this reason. `details`
  // are listed under it (the courses a failed level check found, say).
  void Stopped(std::string why, std::vector<std::string> details = {});
  // The user went on after a stop the window lets them mend (a failed
  // level check): the run is no longer stopped.
  void Resumed() { stop_.reset(); }
  // The result code for Horalia and, from the command line, the exit status.
  void Ended(std::int32_t resultCode, std::optional<int> exitStatus = std::nullopt);

  bool stopped() const { return stop_.has_value(); }

  ReportDocument Document() const;
  std::string Markdown() const { return RenderMarkdown(Document()); }
  std::string Html() const { return RenderHtml(Document()); }

 private:
  struct Listed {
    std::string file;
    long line;
    std::string detail;
  };
  struct Group {
    std::uint64_t count = 0;
    std::vector<Listed> listed;
  };
  struct Deviation {
    std::string table;
    DeviationReason reason;
    std::string natural;
    std::string stored;
  };
  struct Stop {
    std::string step;
    std::string why;
    std::vector<std::string> details;
  };

  static void Add(Group& group, std::string_view file, long line, std::string detail);
  // A reason's or a warning's lines: file and line, `detailPrefix` and the
  // detail.
  static ReportSection GroupSection(std::string id, const char* title, const Group& group,
                                    const std::string& detailPrefix);
  ReportSection SummarySection() const;
  ReportSection RowsSection() const;
  ReportSection LeftOutSection() const;
  ReportSection DeviationsSection() const;
  ReportSection WarningsSection() const;
  ReportSection MessagesSection() const;
  ReportSection NoteSection() const;

  ReportedDirection direction_;
  std::time_t when_;
  std::string step_;
  std::vector<std::pair<std::string, std::string>> settings_;
  std::vector<std::pair<std::string, std::uint64_t>> rowsWritten_;  // in the order first written
  std::size_t lastTable_ = 0;
  std::vector<std::pair<std::string, std::uint64_t>> filesWritten_;
  std::array<Group, static_cast<std::size_t>(LeftOutReason::UnknownSubject) + 1> leftOut_;
  std::array<Group, static_cast<std::size_t>(DataWarning::SessionOutsideTemplate) + 1> warnings_;
  std::vector<Deviation> deviations_;
  std::vector<std::string> said_;
  std::optional<Stop> stop_;
  std::optional<std::int32_t> resultCode_;
  std::optional<int> exitStatus_;
};

// A message of the window as one line: each run of CR and LF becomes a space.
std::string OneLine(const std::u16string& text);

// Passes everything on to `shown` and keeps in `report` every message and
// question as one line, with the answer named by its button in the window,
// since the report is read by the school office.
class ReportingDialog : public UserDialog {
 public:
  ReportingDialog(UserDialog& shown, RunReport& report) : shown_(shown), report_(report) {}

  void Message(const std::u16string& text) override;
  bool Question(const std::u16string& caption, const std::u16string& text) override;
  void Busy(bool busy) override { shown_.Busy(busy); }
  void Progress(const std::u16string& step, std::uint64_t linesDone) override { shown_.Progress(step, linesDone); }

 private:
  UserDialog& shown_;
  RunReport& report_;
};

// True when `file` names an HTML page (.html or .htm, in any letter case).
bool IsHtmlFile(const std::filesystem::path& file);

// Writes `text` to a temporary file beside `file` that then replaces it, so
// that a failure never leaves a partial report. Throws ludaro::Error naming
// the file.
void WriteFileReplacing(const std::filesystem::path& file, std::string_view text);

}  // namespace ludaro
