#include "common/xade_csv.h"

#include <cstring>
#include <utility>

#include "common/error.h"
#include "common/utf.h"

namespace ludaro {

namespace {

constexpr char16_t kComma = u',';
constexpr char16_t kQuote = u'"';

constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
constexpr char kEndOfFileMark = '\x1A';

constexpr std::size_t kBlockSize = std::size_t{64} << 10;

bool IsBlank(char16_t c) { return c >= 1 && c <= 32; }

// Reads a field that starts with a quote at `pos` into `field`, leaving
// `pos` after its closing quote or at the end of the line.
void ReadQuotedField(std::u16string_view line, std::size_t& pos, std::u16string& field) {
  field.clear();
  ++pos;
  for (;;) {
    const std::size_t quote = line.find(kQuote, pos);
    if (quote == std::u16string_view::npos) {
      field.append(line.substr(pos));
      pos = line.size();
      return;
    }
    field.append(line.substr(pos, quote - pos));
    if (quote + 1 < line.size() && line[quote + 1] == kQuote) {
      field.push_back(kQuote);
      pos = quote + 2;
    } else {
      pos = quote + 1;
      return;
    }
  }
}

platform::File OpenForReading(const std::filesystem::path& path, const std::string& displayName) {
  try {
    return platform::File::Open(path, platform::Access::ReadOnly, platform::Share::Read);
  } catch (const platform::OpenError& error) {
    if (error.failure().kind == platform::OpenFailure::Kind::AccessDenied) throw Error("File access denied", displayName);
    throw Error("I/O error " + std::to_string(error.failure().systemCode), displayName);
  }
}

// Appends [begin, end) to `out` without its CR bytes.
void AppendWithoutCarriageReturns(std::string& out, const char* begin, const char* end) {
  while (begin != end) {
    const auto* cr = static_cast<const char*>(std::memchr(begin, kCarriageReturn, static_cast<std::size_t>(end - begin)));
    const char* stop = cr != nullptr ? cr : end;
    out.append(begin, stop);
    begin = cr != nullptr ? cr + 1 : end;
  }
}

}  // namespace

void SplitXadeLine(std::u16string_view line, std::vector<std::u16string>& fields) {
  // The strings of the previous line are refilled, not freed and allocated
  // again: a file of a million lines would otherwise cost millions of
  // allocations.
  std::size_t count = 0;
  const auto next = [&]() -> std::u16string& {
    if (count == fields.size()) fields.emplace_back();
    return fields[count++];
  };
  line = line.substr(0, line.find(u'\0'));
  const std::size_t end = line.size();
  std::size_t pos = 0;
  const auto skipBlanks = [&] {
    while (pos < end && IsBlank(line[pos])) ++pos;
  };

  skipBlanks();
  while (pos < end) {
    if (line[pos] == kQuote) {
      ReadQuotedField(line, pos, next());
    } else {
      const std::size_t start = pos;
      while (pos < end && !IsBlank(line[pos]) && line[pos] != kComma) ++pos;
      next().assign(line.substr(start, pos - start));
    }
    skipBlanks();
    if (pos < end && line[pos] == kComma) {
      if (pos + 1 == end) next().clear();
      ++pos;
      skipBlanks();
    }
  }
  fields.resize(count);
}

std::vector<std::u16string> SplitXadeLine(std::u16string_view line) {
  std::vector<std::u16string> fields;
  SplitXadeLine(line, fields);
  return fields;
}

XadeLine::XadeLine(std::vector<std::u16string> fields, std::string file, long lineNumber)
    : fields_(std::move(fields)), file_(std::move(file)), lineNumber_(lineNumber) {}

const std::u16string& XadeLine::Field(std::size_t n) const {
  if (n >= fields_.size()) throw Error("List index out of bounds (" + std::to_string(n) + ")", file_, lineNumber_);
  return fields_[n];
}

XadeCsvReader::XadeCsvReader(const std::filesystem::path& path, std::size_t maxLineBytes)
    : displayName_(path.u8string()),
      file_(OpenForReading(path, displayName_)),
      maxLineBytes_(maxLineBytes),
      buffer_(kBlockSize) {}

bool XadeCsvReader::FillBuffer() {
  std::size_t got = 0;
  try {
    got = file_.ReadAt(fileOffset_, buffer_.data(), buffer_.size());
  } catch (const Error& error) {
    FailReading(error.what());
  }
  fileOffset_ += got;
  bufferPos_ = 0;
  bufferEnd_ = got;
  return got > 0;
}

void XadeCsvReader::FailReading(const std::string& message) const {
  throw Error(message, displayName_, lineNumber_ + 1);
}

bool XadeCsvReader::Eof() {
  if (ended_) return true;
  if (bufferPos_ == bufferEnd_ && !FillBuffer()) ended_ = true;
  if (!ended_ && buffer_[bufferPos_] == kEndOfFileMark) ended_ = true;
  return ended_;
}

bool XadeCsvReader::ReadLineBytes(std::string& bytes) {
  if (Eof()) return false;
  bytes.clear();
  for (;;) {
    if (bufferPos_ == bufferEnd_ && !FillBuffer()) {
      ended_ = true;
      break;
    }
    const char* const begin = buffer_.data() + bufferPos_;
    const char* const limit = buffer_.data() + bufferEnd_;
    // The line ends at its LF or at a Ctrl-Z before it, whichever comes first.
    const auto* lineFeed = static_cast<const char*>(std::memchr(begin, kLineFeed, bufferEnd_ - bufferPos_));
    const char* const lineEnd = lineFeed != nullptr ? lineFeed : limit;
    const auto* mark =
        static_cast<const char*>(std::memchr(begin, kEndOfFileMark, static_cast<std::size_t>(lineEnd - begin)));
    const char* const stop = mark != nullptr ? mark : lineEnd;
    // Every CR goes: before an LF it belongs to the line end, anywhere else
    // it is dropped and the line goes on.
    AppendWithoutCarriageReturns(bytes, begin, stop);
    if (bytes.size() > maxLineBytes_)
      FailReading(displayName_ + ": line " + std::to_string(lineNumber_ + 1) + " is longer than " +
                  std::to_string(maxLineBytes_) + " bytes");
    bufferPos_ += static_cast<std::size_t>(stop - begin);
    if (stop != limit) {
      if (*stop == kLineFeed) {
        ++bufferPos_;
      } else {
        ended_ = true;  // Ctrl-Z: nothing after it belongs to the file
      }
      break;
    }
  }
  ++lineNumber_;
  return true;
}

bool XadeCsvReader::SkipLine() { return ReadLineBytes(lineBytes_); }

bool XadeCsvReader::ReadLine(XadeLine& line) {
  if (!ReadLineBytes(lineBytes_)) return false;
  // XADE writes UTF-8, so the bytes are decoded directly. Passing them
  // through a single-byte ANSI code page and back would give the same bytes;
  // a multi-byte one could only alter invalid sequences before decoding.
  Utf8ToU16(lineBytes_, lineText_);
  SplitXadeLine(lineText_, line.fields_);
  if (line.file_ != displayName_) line.file_ = displayName_;
  line.lineNumber_ = lineNumber_;
  return true;
}

}  // namespace ludaro
