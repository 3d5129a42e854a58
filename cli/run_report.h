#pragma once

// The account of one run that `--report FILE` asks for: a Markdown page in
// Spanish, like the window, that the school office reads before opening
// Horalia, telling which tables were
// written with how many rows, which input lines gave no row and why, which
// abbreviations are not what their row would naturally have, what the run
// said and how it ended.
//
// It keeps the facts the directions tell it (RunLog) and what the command
// adds (settings, messages, the end); Markdown() renders them. Lines left
// out are counted without limit but listed only up to kListedPerReason per
// reason, since a large school can leave out a hundred thousand lines of
// other convocatorias.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/session/run_log.h"
#include "common/session/user_dialog.h"

namespace ludaro::cli {

class RunReport : public RunLog {
 public:
  static constexpr std::size_t kListedPerReason = 20;

  // `command`: "import" or "export".
  explicit RunReport(std::string command);

  void StepStarted(std::string_view step) override;
  void RowsWritten(std::string_view table, std::uint64_t count) override;
  void RowLeftOut(LeftOutReason reason, std::string_view file, long line, std::u16string_view detail) override;
  void AbbreviationDeviated(std::string_view table, DeviationReason reason, std::u16string_view natural,
                            std::u16string_view stored) override;

  // A line of the report's heading, such as the folders or the convocatoria.
  void Setting(std::string name, std::string value);
  // A message the run showed, as one line.
  void Said(std::string line);
  // A file other than a working table, such as HORARIO.CSV.
  void FileWritten(std::string name, std::uint64_t lines);
  // The run stopped, in the step started last, for this reason. `details`
  // are listed under it (the courses a failed level check found, say).
  void Stopped(std::string why, std::vector<std::string> details = {});
  void Ended(std::int32_t resultCode, int exitStatus);

  std::string Markdown() const;

 private:
  struct LeftOutLine {
    std::string file;
    long line;
    std::string detail;
  };
  struct LeftOutGroup {
    std::uint64_t count = 0;
    std::vector<LeftOutLine> listed;
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

  void RenderLeftOut(std::string& page) const;
  void RenderDeviations(std::string& page) const;

  std::string command_;
  std::string step_;
  std::vector<std::pair<std::string, std::string>> settings_;
  std::vector<std::pair<std::string, std::uint64_t>> rowsWritten_;  // in the order first written
  std::size_t lastTable_ = 0;
  std::vector<std::pair<std::string, std::uint64_t>> filesWritten_;
  std::array<LeftOutGroup, static_cast<std::size_t>(LeftOutReason::UnknownSubject) + 1> leftOut_;
  std::vector<Deviation> deviations_;
  std::vector<std::string> said_;
  std::optional<Stop> stop_;
  std::optional<std::pair<std::int32_t, int>> end_;
};

// Passes everything on to `shown` and keeps in `report` every message and
// question as the line stderr gets, but with the answer named by its button
// in the window, since the report is read by the school office.
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

// Text as Markdown shows it literally on one line: CR and LF become spaces
// and the characters Markdown would act on are escaped.
std::string MarkdownText(std::string_view text);

// Writes `text` to a temporary file beside `file` that then replaces it, so
// that a failure never leaves a partial report. Throws ludaro::Error naming
// the file.
void WriteFileReplacing(const std::filesystem::path& file, std::string_view text);

}  // namespace ludaro::cli
