#include "common/xade_csv.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/utf.h"
#include "tests/child_process.h"
#include "tests/test_support.h"

namespace ludaro {
namespace {

using Fields = std::vector<std::u16string>;
using test::TempDir;
using test::WriteBytes;

// Names each case of a table after its `name`.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& test) {
  return test.param.name;
}

Error CaughtError(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error was raised";
  return Error("");
}

// ------------------------------------------------------------------ splitting

struct SplitCase {
  const char* name;
  std::u16string line;
  Fields fields;
};

void PrintTo(const SplitCase& c, std::ostream* out) { *out << c.name; }

class SplitXadeLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitXadeLineTest, SplitsIntoFields) { EXPECT_EQ(SplitXadeLine(GetParam().line), GetParam().fields); }

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitXadeLineTest,
    testing::Values(
        SplitCase{"Plain", u"a,b,c", {u"a", u"b", u"c"}},
        SplitCase{"BlanksAroundFields", u" a , b ", {u"a", u"b"}},
        SplitCase{"EmptyField", u"a,,c", {u"a", u"", u"c"}},
        SplitCase{"BlankField", u"a, ,c", {u"a", u"", u"c"}},
        SplitCase{"LeadingComma", u",a", {u"", u"a"}},
        SplitCase{"TrailingCommaAddsAnEmptyField", u"a,", {u"a", u""}},
        SplitCase{"TrailingCommaThenBlankAddsNothing", u"a, ", {u"a"}},
        SplitCase{"UnquotedBlankSplits", u"Lingua galega,1", {u"Lingua", u"galega", u"1"}},
        SplitCase{"QuotedBlankStays", u"\"Lingua galega\",1", {u"Lingua galega", u"1"}},
        SplitCase{"QuotedComma", u"\"a,b\",c", {u"a,b", u"c"}},
        SplitCase{"DoubledQuotes", u"\"say \"\"x\"\"\",y", {u"say \"x\"", u"y"}},
        SplitCase{"EmptyQuotedField", u"\"\",y", {u"", u"y"}},
        SplitCase{"TextAfterClosingQuoteIsAnotherField", u"\"ab\"cd,e", {u"ab", u"cd", u"e"}},
        SplitCase{"QuoteInsideUnquotedField", u"ab\"cd\",e", {u"ab\"cd\"", u"e"}},
        SplitCase{"UnclosedQuoteTakesTheRest", u"\"abc,def", {u"abc,def"}},
        SplitCase{"UnclosedQuoteStillPairsQuotes", u"\"a\"\"b, c", {u"a\"b, c"}},
        SplitCase{"EmptyLine", u"", {}},
        SplitCase{"BlanksOnly", u"   ", {}},
        SplitCase{"ControlCharactersAreBlanks", u"\ta\x01,\x1F" u"b\r", {u"a", u"b"}},
        SplitCase{"NoBreakSpaceIsNoBlank", u"\u00A0a\u00A0,b", {u"\u00A0a\u00A0", u"b"}},
        SplitCase{"NulEndsTheLine", std::u16string(u"a,b\0,c", 6), {u"a", u"b"}},
        SplitCase{"CommaBeforeNulIsTheLastCharacter", std::u16string(u"a,\0 x", 5), {u"a", u""}},
        SplitCase{"NulFirst", std::u16string(u"\0a,b", 4), {}},
        SplitCase{"QuotedTrailingComma", u"\"a\",", {u"a", u""}},
        SplitCase{"OnlyAComma", u",", {u"", u""}}),
    CaseName<SplitCase>);

TEST(SplitXadeLineTest, RefillingEmptiesTheListFirst) {
  Fields fields{u"old", u"older", u"oldest"};
  SplitXadeLine(u"x", fields);
  EXPECT_EQ(fields, Fields{u"x"});
  SplitXadeLine(u" ", fields);
  EXPECT_TRUE(fields.empty());
}

// ----------------------------------------------------------------- field list

TEST(XadeLineTest, FieldBeyondTheLastNamesNumberFileAndLine) {
  const XadeLine line({u"1", u"a"}, "/x/gruposCentro.csv", 7);
  EXPECT_EQ(line.Field(1), u"a");
  for (const std::size_t n : {std::size_t{2}, std::size_t{10}}) {
    const Error error = CaughtError([&] { (void)line.Field(n); });
    EXPECT_EQ(std::string(error.what()), "List index out of bounds (" + std::to_string(n) + ")");
    EXPECT_EQ(error.file(), "/x/gruposCentro.csv");
    EXPECT_EQ(error.line(), 7);
  }
  EXPECT_EQ(std::string(CaughtError([] { (void)XadeLine().Field(0); }).what()), "List index out of bounds (0)");
}

// ---------------------------------------------------------------------- lines

std::vector<std::string> AllLineBytes(XadeCsvReader& reader) {
  std::vector<std::string> lines;
  std::string bytes;
  while (reader.ReadLineBytes(bytes)) lines.push_back(bytes);
  return lines;
}

struct LinesCase {
  const char* name;
  std::string content;
  std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* out) { *out << c.name; }

class XadeCsvLinesTest : public testing::TestWithParam<LinesCase> {
 protected:
  TempDir dir_;
};

TEST_P(XadeCsvLinesTest, ReadsTheLines) {
  WriteBytes(dir_ / "f.csv", GetParam().content);
  XadeCsvReader reader(dir_ / "f.csv");
  EXPECT_EQ(AllLineBytes(reader), GetParam().lines);
  EXPECT_TRUE(reader.Eof());
  EXPECT_EQ(reader.LineNumber(), static_cast<long>(GetParam().lines.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Files, XadeCsvLinesTest,
    testing::Values(
        LinesCase{"EmptyFileHasNoLine", "", {}},
        LinesCase{"LastLineWithoutLineEnd", "h\na", {"h", "a"}},
        LinesCase{"LineFeeds", "h\na\n", {"h", "a"}},
        LinesCase{"CarriageReturnLineFeeds", "h\r\na\r\n", {"h", "a"}},
        LinesCase{"TwoFinalLineEndsGiveAnEmptyLastLine", "h\na\n\n", {"h", "a", ""}},
        LinesCase{"TwoFinalCrLfGiveAnEmptyLastLine", "h\r\na\r\n\r\n", {"h", "a", ""}},
        LinesCase{"OnlyALineEnd", "\n", {""}},
        LinesCase{"CarriageReturnsAloneMakeOneLine", "h\ra\rb\r", {"hab"}},
        LinesCase{"CarriageReturnBeforeCrLf", "h\r\r\na", {"h", "a"}},
        LinesCase{"CarriageReturnInsideALine", "a\rb\nc", {"ab", "c"}},
        LinesCase{"CtrlZEndsTheFileMidLine", "h\nab\x1A" "cd\ne\n", {"h", "ab"}},
        LinesCase{"CtrlZAfterALineEnd", "h\na\n\x1A" "b\n", {"h", "a"}},
        LinesCase{"CtrlZFirst", "\x1A" "h\na\n", {}},
        LinesCase{"CarriageReturnBeforeCtrlZ", "h\r\x1A", {"h"}},
        LinesCase{"NulBytesStayInTheLine", std::string("h\na\0b\n", 6), {"h", std::string("a\0b", 3)}}),
    CaseName<LinesCase>);

// Line ends and CR bytes that fall on the boundary between two blocks read
// from the file must not change the lines.
TEST(XadeCsvReaderTest, LinesAcrossBlockBoundaries) {
  TempDir dir;
  std::string content;
  std::vector<std::string> expected;
  for (int i = 0; content.size() < 300000; ++i) {
    std::string line(static_cast<std::size_t>((i * 7919) % 4099), static_cast<char>('a' + i % 26));
    expected.push_back(line);
    content += line + (i % 3 == 0 ? "\n" : "\r\n");
  }
  WriteBytes(dir / "f.csv", content);
  XadeCsvReader reader(dir / "f.csv");
  EXPECT_EQ(AllLineBytes(reader), expected);
}

TEST(XadeCsvReaderTest, TenMegabyteLine) {
  TempDir dir;
  const std::size_t size = std::size_t{10} << 20;
  WriteBytes(dir / "f.csv", "h\r\n" + std::string(size, 'x') + ",fin\r\n\"" + std::string(size, 'y') + "\",z");
  XadeCsvReader reader(dir / "f.csv");
  ASSERT_TRUE(reader.SkipLine());
  XadeLine line;
  ASSERT_TRUE(reader.ReadLine(line));
  ASSERT_EQ(line.Count(), 2u);
  EXPECT_EQ(line.Field(0), std::u16string(size, u'x'));
  EXPECT_EQ(line.Field(1), u"fin");
  ASSERT_TRUE(reader.ReadLine(line));
  ASSERT_EQ(line.Count(), 2u);
  EXPECT_EQ(line.Field(0).size(), size);
  EXPECT_EQ(line.Field(1), u"z");
  EXPECT_FALSE(reader.ReadLine(line));
}

TEST(XadeCsvReaderTest, LineLongerThanTheLimitIsRefusedWithItsNumber) {
  TempDir dir;
  WriteBytes(dir / "f.csv", "h\n" + std::string(100, 'a') + "\r\n" + std::string(101, 'b') + "\n");
  XadeCsvReader reader(dir / "f.csv", 100);
  XadeLine line;
  ASSERT_TRUE(reader.SkipLine());
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.Field(0).size(), 100u);
  const Error error = CaughtError([&] { reader.ReadLine(line); });
  EXPECT_NE(std::string(error.what()).find("line 3 is longer than 100 bytes"), std::string::npos) << error.what();
  EXPECT_EQ(error.file(), (dir / "f.csv").u8string());
  EXPECT_EQ(error.line(), 3);
}

// ------------------------------------------------------------- reading a file

struct Row {
  long lineNumber;
  Fields fields;
  bool operator==(const Row& other) const { return lineNumber == other.lineNumber && fields == other.fields; }
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << "line " << row.lineNumber << ":";
  for (const auto& field : row.fields) *out << " [" << U16ToUtf8(field) << "]";
}

std::vector<Row> DataRows(const std::filesystem::path& file) {
  XadeCsvReader reader(file);
  std::vector<Row> rows;
  if (!reader.SkipLine()) return rows;
  XadeLine line;
  while (reader.ReadLine(line)) rows.push_back({line.lineNumber(), line.Fields()});
  return rows;
}

TEST(XadeCsvReaderTest, DecodesAndSplitsEveryLineAfterTheHeader) {
  TempDir dir;
  WriteBytes(dir / "aulasCentro.csv",
             "\xEF\xBB\xBF" "CODIGO,NOME\r\n"
             "1,\"Lingua galega\"\r\n"
             "2,caf\xE9s\r\n"                 // a line saved in a single-byte code page
             "3,Castel\xC3\xA1,\xF0\x9F\x98\x80\r\n"
             + std::string("4,A\0B,C\r\n", 9) +
             "5, Aula 3\r\n");
  const std::vector<Row> expected{
      {2, {u"1", u"Lingua galega"}},
      {3, {u"2", u"caf\uFFFDs"}},
      {4, {u"3", u"Castel\u00E1", u"\U0001F600"}},
      {5, {u"4", u"A"}},
      {6, {u"5", u"Aula", u"3"}},
  };
  EXPECT_EQ(DataRows(dir / "aulasCentro.csv"), expected);
}

TEST(XadeCsvReaderTest, ByteOrderMarkGoesWithTheHeader) {
  TempDir dir;
  WriteBytes(dir / "f.csv", "\xEF\xBB\xBF\r\n1,a\n");
  EXPECT_EQ(DataRows(dir / "f.csv"), (std::vector<Row>{{2, {u"1", u"a"}}}));
}

TEST(XadeCsvReaderTest, HeaderOnlyOrCarriageReturnsOnlyGiveNoDataLine) {
  TempDir dir;
  for (const char* content : {"CODIGO,NOME", "CODIGO,NOME\r\n", "CODIGO,NOME\r1,a\r2,b\r"}) {
    WriteBytes(dir / "f.csv", content);
    EXPECT_TRUE(DataRows(dir / "f.csv").empty()) << content;
  }
}

TEST(XadeCsvReaderTest, EmptyLastLineHasNoFieldAndNamesItsLine) {
  TempDir dir;
  const auto file = dir / "gruposCentro.csv";
  WriteBytes(file, "h\r\n1,a\r\n\r\n");
  XadeCsvReader reader(file);
  XadeLine line;
  ASSERT_TRUE(reader.SkipLine());
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.Field(1), u"a");
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line.Count(), 0u);
  const Error error = CaughtError([&] { (void)line.Field(1); });
  EXPECT_EQ(std::string(error.what()), "List index out of bounds (1)");
  EXPECT_EQ(error.file(), file.u8string());
  EXPECT_EQ(error.line(), 3);
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_EQ(line.lineNumber(), 3);
}

// ------------------------------------------------------------ opening a file

#ifdef _WIN32
constexpr int kInUseError = 32;  // ERROR_SHARING_VIOLATION
#else
constexpr int kInUseError = EWOULDBLOCK;
#endif

TEST(XadeCsvReaderTest, FileThatCannotBeOpenedNamesTheReason) {
  TempDir dir;
  std::filesystem::create_directory(dir / "folder.csv");
  const struct {
    std::filesystem::path file;
    std::string message;
  } cases[] = {
      {dir / "missing.csv", "I/O error 2"},
      {dir / "folder.csv", "File access denied"},
  };
  for (const auto& c : cases) {
    const Error error = CaughtError([&] { XadeCsvReader reader(c.file); });
    EXPECT_EQ(std::string(error.what()), c.message);
    EXPECT_EQ(error.file(), c.file.u8string());
  }
}

TEST(XadeCsvReaderTest, FileHeldByAnotherProgramForWritingIsAnIoError) {
  TempDir dir;
  const auto file = dir / "f.csv";
  WriteBytes(file, "h\n1\n");
  test::ChildProcess holder(platform::ProgramFolder() / LUDARO_LOCK_HOLDER);
  holder.WriteLine(file.u8string());
  ASSERT_EQ(holder.ReadLine(), "locked");
  const Error error = CaughtError([&] { XadeCsvReader reader(file); });
  EXPECT_EQ(std::string(error.what()), "I/O error " + std::to_string(kInUseError));
  EXPECT_EQ(error.file(), file.u8string());
}

TEST(XadeCsvReaderTest, OthersMayReadButNotWriteWhileTheFileIsRead) {
  TempDir dir;
  const auto file = dir / "f.csv";
  WriteBytes(file, "h\n1\n");
  XadeCsvReader first(file);
  EXPECT_EQ(DataRows(file), (std::vector<Row>{{2, {u"1"}}}));
  test::ChildProcess holder(platform::ProgramFolder() / LUDARO_LOCK_HOLDER);
  holder.WriteLine(file.u8string());
  EXPECT_EQ(holder.ReadLine(), "in use");
}

}  // namespace
}  // namespace ludaro
