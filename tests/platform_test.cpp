#ifdef _WIN32
#include <windows.h>
#endif

#include "common/platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/platform/codepage_1252.h"
#include "common/platform/ini_file.h"
#include "tests/child_process.h"
#include "tests/test_support.h"

namespace ludaro::platform {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  return bytes;
}

// Sets or removes an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = Get()) previous_ = old;
    Set(value);
  }
  ~ScopedEnvironment() { Set(previous_); }

 private:
#ifdef _WIN32
  const char* Get() {
    const DWORD size = GetEnvironmentVariableA(name_, nullptr, 0);
    if (size == 0) return nullptr;
    buffer_.assign(size, '\0');
    GetEnvironmentVariableA(name_, buffer_.data(), size);
    buffer_.resize(size - 1);
    return buffer_.c_str();
  }
  void Set(const std::optional<std::string>& value) { SetEnvironmentVariableA(name_, value ? value->c_str() : nullptr); }
  std::string buffer_;
#else
  const char* Get() { return std::getenv(name_); }
  void Set(const std::optional<std::string>& value) {
    if (value)
      setenv(name_, value->c_str(), 1);
    else
      unsetenv(name_);
  }
#endif
  const char* name_;
  std::optional<std::string> previous_;
};

// Restores the current directory a test changed.
class ScopedCurrentDirectory {
 public:
  ScopedCurrentDirectory() : saved_(CurrentDirectory()) {}
  ~ScopedCurrentDirectory() { SetCurrentDirectory(saved_); }

 private:
  std::filesystem::path saved_;
};

// ---------------------------------------------------------------- code pages

TEST(CodePageTest, AnsiCodePageIsTheSystems) {
#ifdef _WIN32
  EXPECT_EQ(AnsiCodePage(), GetACP());
#else
  EXPECT_EQ(AnsiCodePage(), 1252u);
#endif
  EXPECT_TRUE(CodePageSupported(AnsiCodePage()));
}

TEST(CodePageTest, EveryByteRoundTripsThroughCp1252) {
  const std::string bytes = AllBytes();
  EXPECT_EQ(ToCp1252(FromCp1252(bytes)), bytes);
  EXPECT_EQ(ToCodePage(FromCodePage(bytes, 1252), 1252), bytes);
  EXPECT_EQ(FromCodePage(bytes, 1252), FromCp1252(bytes));
}

TEST(CodePageTest, Cp1252MapsTheWindowsCharacters) {
  const std::u16string text = FromCp1252("\x80\x81\x8A\x8D\x8F\x90\x9D\x9F\xA0\xE9\xFF");
  EXPECT_EQ(text, u"\u20AC\u0081\u0160\u008D\u008F\u0090\u009D\u0178\u00A0\u00E9\u00FF");
}

TEST(CodePageTest, CharactersOutsideCp1252BecomeOneQuestionMarkEach) {
  struct Case {
    std::u16string text;
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {u"Ma\u00F1\u00E1 \u20AC", "Ma\xF1\xE1 \x80"},
      {u"\u0101", "?"},                     // Latin a with macron
      {u"\u4E2D\u6587", "??"},              // two CJK characters
      {u"a\U0001F600b", "a?b"},             // a surrogate pair is one character
      {u"\u0080\u0082", "??"},              // C1 controls cp1252 does not carry
      {std::u16string(u"x\xD800y"), "x?y"},  // unpaired high surrogate
      {std::u16string(u"x\xDC00"), "x?"},    // unpaired low surrogate
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToCp1252(c.text), c.bytes);
    EXPECT_EQ(ToCodePage(c.text, 1252), c.bytes);
    // Written in place: whole when it fits, else only the room given, with
    // the length it would need.
    for (const std::size_t room : {c.bytes.size(), c.bytes.size() / 2}) {
      std::string field(room + 1, '#');
      EXPECT_EQ(ToCodePageInto(c.text, 1252, field.data(), room), c.bytes.size());
      EXPECT_EQ(field, c.bytes.substr(0, room) + "#");
    }
  }
}

#ifdef _WIN32
// Our own table must store text exactly as Windows itself would.
TEST(CodePageTest, OwnCp1252TableAgreesWithWindows) {
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const std::u16string one(1, static_cast<char16_t>(c));
    ASSERT_EQ(ToCp1252(one), ToCodePage(one, 1252)) << "U+" << std::hex << static_cast<unsigned>(c);
  }
}
#endif

TEST(CodePageTest, UnknownCodePageIsRefusedByName) {
  EXPECT_FALSE(CodePageSupported(12345));
  try {
    ToCodePage(u"x", 12345);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("12345"), std::string::npos) << error.what();
  }
  EXPECT_THROW(FromCodePage("x", 12345), Error);
}

// --------------------------------------------------------------------- files

OpenFailure::Kind FailureOfOpening(const std::filesystem::path& path, Access access, Share share,
                                   Disposition disposition = Disposition::OpenExisting) {
  try {
    File::Open(path, access, share, disposition);
  } catch (const OpenError& error) {
    EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
    return error.failure().kind;
  }
  ADD_FAILURE() << "opened " << path.string();
  return OpenFailure::Kind::Other;
}

struct Handle {
  Access access;
  Share share;
};

struct SharingCase {
  const char* name;
  Handle first;
  Handle second;
  bool secondOpens;
};

// Test lists and failure messages name a case by its name.
void PrintTo(const SharingCase& c, std::ostream* out) { *out << c.name; }

class SharingTest : public ::testing::TestWithParam<SharingCase> {};

TEST_P(SharingTest, SecondHandleInTheSameProcess) {
  const SharingCase& c = GetParam();
  TempDir dir;
  const auto file = dir / "TABLA.DBF";
  WriteBytes(file, "data");
  {
    File first = File::Open(file, c.first.access, c.first.share);
    if (c.secondOpens) {
      EXPECT_NO_THROW(File::Open(file, c.second.access, c.second.share));
    } else {
      EXPECT_EQ(FailureOfOpening(file, c.second.access, c.second.share), OpenFailure::Kind::InUse);
    }
  }
  // Once the first handle is closed nothing holds the file any more.
  EXPECT_NO_THROW(File::Open(file, Access::ReadWrite, Share::None));
}

INSTANTIATE_TEST_SUITE_P(
    Platform, SharingTest,
    ::testing::Values(
        SharingCase{"ExclusiveThenExclusive", {Access::ReadWrite, Share::None}, {Access::ReadWrite, Share::None}, false},
        SharingCase{"ExclusiveThenShared", {Access::ReadWrite, Share::None}, {Access::ReadWrite, Share::ReadWrite}, false},
        SharingCase{"ExclusiveThenReader", {Access::ReadWrite, Share::None}, {Access::ReadOnly, Share::Read}, false},
        SharingCase{"SharedThenExclusive", {Access::ReadWrite, Share::ReadWrite}, {Access::ReadWrite, Share::None}, false},
        SharingCase{"ReaderThenExclusive", {Access::ReadOnly, Share::Read}, {Access::ReadWrite, Share::None}, false},
        SharingCase{"SharedThenShared", {Access::ReadWrite, Share::ReadWrite}, {Access::ReadWrite, Share::ReadWrite}, true},
        SharingCase{"ReaderThenReader", {Access::ReadOnly, Share::Read}, {Access::ReadOnly, Share::Read}, true}));

TEST(FileTest, OpenFailuresSayWhy) {
  TempDir dir;
  EXPECT_EQ(FailureOfOpening(dir / "MISSING.DBF", Access::ReadWrite, Share::None), OpenFailure::Kind::NotFound);
  EXPECT_EQ(FailureOfOpening(dir / "NO_FOLDER" / "X.DBF", Access::ReadWrite, Share::None,
                             Disposition::CreateAlways),
            OpenFailure::Kind::NotFound);
  EXPECT_EQ(FailureOfOpening(dir.path(), Access::ReadOnly, Share::Read), OpenFailure::Kind::AccessDenied);
}

TEST(FileTest, CreatingAFileInUseLeavesItsContents) {
  TempDir dir;
  const auto file = dir / "CURSOST2.DBF";
  WriteBytes(file, "precious");
  {
    File held = File::Open(file, Access::ReadWrite, Share::ReadWrite);
    EXPECT_EQ(FailureOfOpening(file, Access::ReadWrite, Share::None, Disposition::CreateAlways),
              OpenFailure::Kind::InUse);
  }
  EXPECT_EQ(ReadBytes(file), "precious");
  File::Open(file, Access::ReadWrite, Share::None, Disposition::CreateAlways);
  EXPECT_EQ(ReadBytes(file), "");
}

TEST(FileTest, PositionedReadAndWrite) {
  TempDir dir;
  const auto path = dir / "DATA.BIN";
  File file = File::Open(path, Access::ReadWrite, Share::None, Disposition::CreateAlways);
  file.WriteAt(0, "abcdef", 6);
  file.WriteAt(8, "XY", 2);  // past the end: the gap reads as zero bytes
  EXPECT_EQ(file.Size(), 10u);
  char buffer[16] = {};
  EXPECT_EQ(file.ReadAt(2, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  EXPECT_EQ(file.ReadAt(6, buffer, 16), 4u);  // short only at the end
  EXPECT_EQ(std::string(buffer, 4), std::string("\0\0XY", 4));
  EXPECT_EQ(file.ReadAt(50, buffer, 4), 0u);
  file.Truncate(3);
  file.Flush();
  EXPECT_EQ(file.Size(), 3u);

  File moved = std::move(file);
  EXPECT_EQ(moved.ReadAt(0, buffer, 16), 3u);
  EXPECT_EQ(moved.path(), path);
}

// ------------------------------------------------------- second process

std::filesystem::path LockHolder() { return ProgramFolder() / LUDARO_LOCK_HOLDER; }

TEST(CrossProcessTest, FileHeldByAnotherProcessIsInUseUntilItLetsGo) {
  TempDir dir;
  const auto file = dir / "GRUPOST.DBF";
  WriteBytes(file, "rows");
  test::ChildProcess holder(LockHolder());
  holder.WriteLine(file.u8string());
  ASSERT_EQ(holder.ReadLine(), "locked");

  EXPECT_EQ(FailureOfOpening(file, Access::ReadWrite, Share::None), OpenFailure::Kind::InUse);
  EXPECT_EQ(FailureOfOpening(file, Access::ReadWrite, Share::ReadWrite), OpenFailure::Kind::InUse);
  EXPECT_EQ(FailureOfOpening(file, Access::ReadOnly, Share::Read), OpenFailure::Kind::InUse);
  EXPECT_THROW(DeleteFileIfExists(file), Error);

  holder.CloseInput();
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_NO_THROW(File::Open(file, Access::ReadWrite, Share::None));
}

TEST(CrossProcessTest, AnotherProcessCannotTakeAFileWeHold) {
  TempDir dir;
  const auto file = dir / "PROFT.DBF";
  WriteBytes(file, "rows");
  for (const Share share : {Share::None, Share::ReadWrite}) {
    File held = File::Open(file, Access::ReadWrite, share);
    test::ChildProcess holder(LockHolder());
    holder.WriteLine(file.u8string());
    EXPECT_EQ(holder.ReadLine(), "in use");
    EXPECT_EQ(holder.Wait(), 1);
  }
}

// Windows cannot replace a file another handle holds, and we do not either:
// a table in use elsewhere is never swapped under its user's feet.
TEST(CrossProcessTest, ReplaceFileSwapsWholeFilesButNotOneHeldElsewhere) {
  TempDir dir;
  const auto target = dir / "CURSOST2.DBF";
  const auto fresh = dir / ".CURSOST2.DBF.new";
  WriteBytes(target, "old rows");
  WriteBytes(fresh, "new rows");
  {
    test::ChildProcess holder(LockHolder());
    holder.WriteLine(target.u8string());
    ASSERT_EQ(holder.ReadLine(), "locked");
    const std::string message = test::MessageOf([&] { ReplaceFile(fresh, target); });
    EXPECT_NE(message.find(target.u8string()), std::string::npos) << message;
    EXPECT_NE(message.find("in use"), std::string::npos) << message;
  }
  EXPECT_EQ(ReadBytes(target), "old rows");
  ReplaceFile(fresh, target);
  EXPECT_EQ(ReadBytes(target), "new rows");
  EXPECT_FALSE(FileExists(fresh));
}

// A handle must not leak into a program we start: the program would keep the
// file in use after we closed it.
TEST(CrossProcessTest, StartedProgramsDoNotInheritOurHandles) {
  TempDir dir;
  const auto ours = dir / "ASIGNOMT.DBF";
  const auto theirs = dir / "AULAT.DBF";
  WriteBytes(ours, "rows");
  WriteBytes(theirs, "rows");
  std::optional<File> held = File::Open(ours, Access::ReadWrite, Share::None);
  test::ChildProcess holder(LockHolder());
  holder.WriteLine(theirs.u8string());
  ASSERT_EQ(holder.ReadLine(), "locked");
  held.reset();
  EXPECT_NO_THROW(File::Open(ours, Access::ReadWrite, Share::None));
}

// ------------------------------------------------------------- file system

TEST(FileSystemTest, FindsAFileWhateverItsLetterCase) {
  TempDir dir;
  WriteBytes(dir / "gruposCentro.csv", "x");
  const auto found = FindFileIgnoringCase(dir / "gruposCentro.CSV");
  ASSERT_TRUE(found.has_value());
  EXPECT_TRUE(FileExists(*found));
  EXPECT_EQ(found->parent_path(), dir.path());
  EXPECT_TRUE(FindFileIgnoringCase(dir / "GRUPOSCENTRO.csv").has_value());
  EXPECT_FALSE(FindFileIgnoringCase(dir / "gruposCentro.csv.bak").has_value());
  EXPECT_FALSE(FindFileIgnoringCase(dir / "subgruposCentro.csv").has_value());
  EXPECT_FALSE(FindFileIgnoringCase(dir / "missing" / "gruposCentro.csv").has_value());
}

#ifndef _WIN32
TEST(FileSystemTest, CaseSearchPrefersTheExactNameAndIgnoresFolders) {
  TempDir dir;
  WriteBytes(dir / "CURSOST.DBF", "upper");
  WriteBytes(dir / "cursost.dbf", "lower");
  std::filesystem::create_directory(dir / "AULAT.DBF");
  EXPECT_EQ(FindFileIgnoringCase(dir / "cursost.dbf"), dir / "cursost.dbf");
  EXPECT_EQ(FindFileIgnoringCase(dir / "Cursost.Dbf"), dir / "CURSOST.DBF");  // first in byte order
  EXPECT_FALSE(FindFileIgnoringCase(dir / "aulat.dbf").has_value());
  // Only A to Z fold: a name that differs in an accented letter is another name.
  WriteBytes(dir / u8"\u00C1REA.CSV", "x");
  EXPECT_FALSE(FindFileIgnoringCase(dir / u8"\u00E1rea.csv").has_value());
  EXPECT_TRUE(FindFileIgnoringCase(dir / u8"\u00C1rea.csv").has_value());
}
#endif

TEST(FileSystemTest, DeleteFileIfExists) {
  TempDir dir;
  EXPECT_NO_THROW(DeleteFileIfExists(dir / "ASIGT.MDX"));
  EXPECT_NO_THROW(DeleteFileIfExists(dir / "missing" / "ASIGT.MDX"));
  const auto file = dir / "ASIGT.DBF";
  WriteBytes(file, "x");
  {
    File held = File::Open(file, Access::ReadOnly, Share::Read);
    EXPECT_THROW(DeleteFileIfExists(file), Error);
  }
  EXPECT_TRUE(FileExists(file));
  DeleteFileIfExists(file);
  EXPECT_FALSE(FileExists(file));
  EXPECT_FALSE(FileExists(dir.path()));  // a folder is not a file
}

TEST(FileSystemTest, CurrentDirectory) {
  TempDir dir;
  ScopedCurrentDirectory restore;
  SetCurrentDirectory(dir.path());
  EXPECT_TRUE(std::filesystem::equivalent(CurrentDirectory(), dir.path()));
  try {
    SetCurrentDirectory(dir / "missing");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_NE(std::string(error.what()).find("missing"), std::string::npos) << error.what();
  }
}

TEST(FileSystemTest, HtempFolder) {
  TempDir dir;
  {
    ScopedEnvironment environment("LUDARO_HTEMP", dir.path().u8string());
    EXPECT_EQ(HtempFolder(dir / "other"), dir / "other");
    EXPECT_EQ(HtempFolder(), dir.path());
  }
  ScopedEnvironment environment("LUDARO_HTEMP", std::nullopt);
  ScopedCurrentDirectory restore;
  // HTEMP sits at the root of whatever drive the current folder is on.
  SetCurrentDirectory(dir.path());
  EXPECT_EQ(HtempFolder(), CurrentDirectory().root_path() / "HTEMP");
#ifndef _WIN32
  EXPECT_EQ(HtempFolder(), std::filesystem::path("/HTEMP"));
#endif
}

// --------------------------------------------------------------------- INI

struct IniCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const IniCase& c, std::ostream* out) { *out << c.name; }

class SetIniValueTest : public ::testing::TestWithParam<IniCase> {};

TEST_P(SetIniValueTest, SetsTheKeyAndKeepsEverythingElse) {
  EXPECT_EQ(SetIniValue(GetParam().before, "Transformadores", "Transformado", "-1"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Platform, SetIniValueTest,
    ::testing::Values(
        IniCase{"EmptyFile", "", "[Transformadores]\r\nTransformado=-1\r\n"},
        IniCase{"ReplacesTheValue",
                "; Horalia\r\n[General]\r\nRuta=C:\\H\r\n\r\n[Transformadores]\r\nOtro=3\r\nTransformado=1\r\n",
                "; Horalia\r\n[General]\r\nRuta=C:\\H\r\n\r\n[Transformadores]\r\nOtro=3\r\nTransformado=-1\r\n"},
        IniCase{"MatchesWithoutLetterCaseAndKeepsTheSpelling",
                "[transformadores]\nTRANSFORMADO = 1 \nz=1\n",
                "[transformadores]\nTRANSFORMADO=-1\nz=1\n"},
        IniCase{"KeyOfAnotherSectionOrCommentIsNotIt",
                "[Otro]\r\nTransformado=5\r\n[Transformadores]\r\n;Transformado=7\r\n",
                "[Otro]\r\nTransformado=5\r\n[Transformadores]\r\n;Transformado=7\r\nTransformado=-1\r\n"},
        IniCase{"AddsTheKeyBeforeTheBlankLinesOfItsSection",
                "[Transformadores]\nA=1\n\n\n[B]\nC=2\n",
                "[Transformadores]\nA=1\nTransformado=-1\n\n\n[B]\nC=2\n"},
        IniCase{"AddsTheSectionAfterALastLineWithoutLineEnd",
                "[A]\r\nb=\xE9",
                "[A]\r\nb=\xE9\r\n[Transformadores]\r\nTransformado=-1\r\n"},
        IniCase{"SectionAtTheEndWithoutLineEnd",
                "[Transformadores]",
                "[Transformadores]\r\nTransformado=-1\r\n"},
        IniCase{"FirstOfTwoEqualSections",
                "[Transformadores]\nA=1\n[Transformadores]\nTransformado=9\n",
                "[Transformadores]\nA=1\nTransformado=-1\n[Transformadores]\nTransformado=9\n"}));

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

TEST(IniFileTest, EditsAUtf16FileAsUtf16) {
  EXPECT_EQ(SetIniValue(Utf16Le(u"[Transformadores]\r\nTransformado=1\r\nN=\u00F1\r\n"), "Transformadores",
                        "Transformado", "0"),
            Utf16Le(u"[Transformadores]\r\nTransformado=0\r\nN=\u00F1\r\n"));
  EXPECT_THROW(SetIniValue("\xFF\xFE[", "S", "K", "1"), Error);  // odd length
}

TEST(IniFileTest, RefusesNamesThatWouldBreakTheFile) {
  EXPECT_THROW(SetIniValue("", "A]B", "K", "1"), Error);
  EXPECT_THROW(SetIniValue("", "S", "K=V", "1"), Error);
  EXPECT_THROW(SetIniValue("", "S", "", "1"), Error);
  EXPECT_THROW(SetIniValue("", "S", "K", "1\r\nX=2"), Error);
}

TEST(IniFileTest, UpdateCreatesOrRewritesTheFileWhole) {
  TempDir dir;
  const auto ini = dir / "Horalia.ini";
  UpdateIniFile(ini, "Transformadores", "Transformado", "1");
  EXPECT_EQ(ReadBytes(ini), "[Transformadores]\r\nTransformado=1\r\n");
  WriteBytes(ini, "[General]\nX=1\n[Transformadores]\nTransformado=1\n");
  UpdateIniFile(ini, "Transformadores", "Transformado", "-1");
  EXPECT_EQ(ReadBytes(ini), "[General]\nX=1\n[Transformadores]\nTransformado=-1\n");
  // Nothing but the INI file is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

void ExpectUnableToWrite(const std::function<void(const std::filesystem::path&)>& write) {
  TempDir dir;
  const auto ini = dir / "missing" / "Horalia.ini";
  try {
    write(ini);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.string());
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(IniFileTest, UnwritableTargetIsReported) {
  ExpectUnableToWrite([](const auto& ini) { UpdateIniFile(ini, "Transformadores", "Transformado", "1"); });
  ExpectUnableToWrite([](const auto& ini) { WriteIniInteger(ini, u"Transformadores", u"Transformado", 1); });
}

// Only what Windows' own profile functions promise too: the value lands, the
// rest of the file stays.
TEST(IniFileTest, WriteIniIntegerKeepsTheRestOfTheFile) {
  TempDir dir;
  const auto ini = dir / "Horalia.ini";
  WriteIniInteger(ini, u"Transformadores", u"Transformado", 0);
  EXPECT_NE(ReadBytes(ini).find("Transformado=0"), std::string::npos);

  WriteBytes(ini, "[General]\r\nRuta=C:\\HORALIA\r\n\r\n[Transformadores]\r\nTransformado=1\r\nOtro=7\r\n");
  WriteIniInteger(ini, u"transformadores", u"TRANSFORMADO", -1);
  const std::string after = ReadBytes(ini);
  EXPECT_NE(after.find("[General]\r\nRuta=C:\\HORALIA\r\n"), std::string::npos) << after;
  EXPECT_NE(after.find("Transformado=-1\r\n"), std::string::npos) << after;
  EXPECT_NE(after.find("Otro=7"), std::string::npos) << after;
  EXPECT_EQ(after.find("Transformado=1"), std::string::npos) << after;
}

}  // namespace
}  // namespace ludaro::platform
