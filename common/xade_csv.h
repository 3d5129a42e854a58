#pragma once

// Reading the CSV files XADE exports: UTF-8 text, one record per line, fields
// separated by commas, optionally in double quotes. Every import step reads
// its files through XadeCsvReader so that lines and fields mean the same
// everywhere, and so that every error names the file and the line.
//
// Whether a file exists is the caller's question (each step has its own
// message for a missing file): ask platform::FindFileIgnoringCase or
// platform::FileExists before constructing the reader. A reader constructed
// on a missing file throws "I/O error 2".

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform/platform.h"

namespace ludaro {

// Splits one decoded line into its fields, numbered from 0:
// - the line ends at its first U+0000, if it holds one;
// - a blank is any character from U+0001 to U+0020 and separates fields just
//   as a comma does; blanks around fields are dropped;
// - a field in double quotes may hold commas and blanks, and "" inside it
//   stands for one "; a missing closing quote takes the rest of the line, and
//   text right after the closing quote starts another field;
// - a quote inside an unquoted field is an ordinary character;
// - a comma that is the very last character of the line adds an empty field
//   ("a," has two fields, "a, " only one).
// An empty or blank line has no field.
std::vector<std::u16string> SplitXadeLine(std::u16string_view line);

// Same, refilling `fields` (emptied first) so one list can serve a whole file.
void SplitXadeLine(std::u16string_view line, std::vector<std::u16string>& fields);

// The fields of one line of one file. Knows where it came from, so that a
// field number beyond the last field is reported with file and line.
class XadeLine {
 public:
  XadeLine() = default;
  XadeLine(std::vector<std::u16string> fields, std::string file, long lineNumber);

  std::size_t Count() const { return fields_.size(); }

  // Field n, counted from 0. Throws Error("List index out of bounds (n)")
  // carrying the file and the line number when the line has no field n.
  const std::u16string& Field(std::size_t n) const;

  const std::vector<std::u16string>& Fields() const { return fields_; }
  const std::string& file() const { return file_; }
  long lineNumber() const { return lineNumber_; }

 private:
  friend class XadeCsvReader;

  std::vector<std::u16string> fields_;
  std::string file_;
  long lineNumber_ = 0;
};

// Reads a XADE CSV file line by line.
//
// A line is the bytes up to the next LF; a CR followed by LF ends the line
// with it, any other CR is dropped, so a file whose lines end in CR alone is
// one single line. A Ctrl-Z byte (26) ends the file. A last line without a
// line end is read; an empty file has no line at all. Lines are decoded as
// UTF-8, each invalid sequence becoming U+FFFD.
//
// The file is opened for reading; other programs may read it meanwhile but not
// write it. It is read in large blocks, and memory grows only with the longest
// line; a line longer than `maxLineBytes` is refused with an error instead of
// exhausting memory.
//
//   XadeCsvReader reader(file);
//   reader.SkipLine();  // the header
//   XadeLine line;
//   while (reader.ReadLine(line)) Use(line.Field(0), line.Field(3));
//
// The file stays open, for reading, as long as the reader lives.
class XadeCsvReader {
 public:
  static constexpr std::size_t kDefaultMaxLineBytes = std::size_t{256} << 20;

  // Throws Error naming the file: "File access denied" when access to it is
  // denied, otherwise "I/O error N" with the system's error number (2 when it
  // does not exist, 32 on Windows when another program writes it).
  explicit XadeCsvReader(const std::filesystem::path& path, std::size_t maxLineBytes = kDefaultMaxLineBytes);

  // True when no byte is left or the next byte is Ctrl-Z.
  bool Eof();

  // Reads the next line and drops it; returns false when the file had no
  // line left. For the header line: dropping it before or after splitting
  // makes no difference.
  bool SkipLine();

  // Reads, decodes and splits the next line into `line` (its previous fields
  // are discarded, so references to them end here); returns false, leaving
  // `line` as it was, at the end of the file.
  bool ReadLine(XadeLine& line);

  // Reads the next line's bytes without decoding; returns false at the end of
  // the file.
  bool ReadLineBytes(std::string& bytes);

  // 1-based number of the line read last; 0 before the first.
  long LineNumber() const { return lineNumber_; }

  // The file name used in error messages.
  const std::string& DisplayName() const { return displayName_; }

 private:
  bool FillBuffer();
  [[noreturn]] void FailReading(const std::string& message) const;

  std::string displayName_;
  platform::File file_;
  std::size_t maxLineBytes_;
  std::vector<char> buffer_;
  std::size_t bufferPos_ = 0;
  std::size_t bufferEnd_ = 0;
  std::uint64_t fileOffset_ = 0;
  bool ended_ = false;
  long lineNumber_ = 0;
  std::string lineBytes_;
  std::u16string lineText_;
};

}  // namespace ludaro
