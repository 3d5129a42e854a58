// Faults a user's machine has and a test machine rarely shows: a working
// folder that cannot be written, a full disk, a table another program holds
// and a power cut in the middle of a write. Each test drives the import or
// the export as ludaro-cli does and checks what the user is told and that
// the files they rely on are whole afterwards.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/dbf/mdx_file.h"
#include "common/dbf/table.h"
#include "common/platform/platform.h"
#include "tests/child_process.h"
#include "tests/horalia_tables.h"
#include "tests/import_fixture.h"
#include "tests/test_support.h"

namespace ludaro {
namespace {

namespace fs = std::filesystem;
using test::TableRows;

// ------------------------------------------------------------------ helpers

constexpr std::size_t kPage = 4096;

// A tmpfs of its own, so a test can make a folder read-only or full without
// touching the machine's disk. Root ignores permission bits, so only a
// read-only mount makes a folder unwritable for it.
class Tmpfs {
 public:
  explicit Tmpfs(std::size_t bytes) : folder_(dir_ / "mnt") {
    fs::create_directory(folder_);
    const std::string options = "size=" + std::to_string(bytes);
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) != 0)
      failure_ = "cannot mount a tmpfs on " + folder_.string() + ": " + std::strerror(errno);
  }
  ~Tmpfs() {
    if (failure_.empty()) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;

  // Empty when mounted.
  const std::string& failure() const { return failure_; }
  const fs::path& path() const { return folder_; }

  void RemountReadOnly() {
    ASSERT_EQ(::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
  }

  // Takes every free page but `pages`, with a file named kFiller.
  void LeaveFree(std::size_t pages) {
    const fs::path filler = folder_ / kFiller;
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << std::strerror(errno);
    const std::string block(kPage, 'f');
    off_t size = 0;
    for (ssize_t put; (put = ::pwrite(fd, block.data(), block.size(), size)) > 0;) size += put;
    size -= size % static_cast<off_t>(kPage);
    ASSERT_GE(size, static_cast<off_t>(pages * kPage)) << "the tmpfs is too small for the test";
    ASSERT_EQ(::ftruncate(fd, size - static_cast<off_t>(pages * kPage)), 0);
    ::close(fd);
  }

  static constexpr const char* kFiller = "filler";

 private:
  test::TempDir dir_;
  fs::path folder_;
  std::string failure_;
};

#define MOUNT_OR_SKIP(tmpfs) \
  if (!(tmpfs).failure().empty()) GTEST_SKIP() << (tmpfs).failure()

// The files of a folder, name to bytes, leaving out the tmpfs filler.
using Snapshot = std::map<std::string, std::string>;

Snapshot TakeSnapshot(const fs::path& folder) {
  Snapshot files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name != Tmpfs::kFiller) files[name] = test::ReadBytes(entry.path());
  }
  return files;
}

void Restore(const fs::path& folder, const Snapshot& files) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove(entry.path());
  for (const auto& [name, bytes] : files) test::WriteBytes(folder / name, bytes);
}

// Files a failed or interrupted run left under a temporary name.
std::vector<std::string> TemporaryFiles(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".new") == 0) names.push_back(name);
  }
  return names;
}

struct CliResult {
  int status;
  std::string out, err;
};

CliResult Cli(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = cli::RunCli(arguments, out, err);
  return {status, out.str(), err.str()};
}

// The table as `ludaro-cli dump` gives it and as dbfread reads it: the same
// CSV when both can read it.
std::string Dump(const fs::path& table) {
  const CliResult result = Cli({"dump", table.string()});
  EXPECT_EQ(result.status, cli::kExitOk) << table << ": " << result.err;
  return result.out;
}

// Each table as dbfread reads it, in the CSV form of `ludaro-cli dump`; one
// interpreter for them all.
std::vector<std::string> ReadWithDbfread(const std::vector<fs::path>& tables) {
  std::string command = "/usr/bin/python3 -c '"
                        "import sys; sys.path.insert(0, sys.argv[1]); import dbfread; from interop_csv import print_csv\n"
                        "for name in sys.argv[2:]:\n"
                        "    table = dbfread.DBF(name, char_decode_errors=\"strict\")\n"
                        "    print_csv(table.field_names, [list(record.values()) for record in table])\n"
                        "    sys.stdout.buffer.write(b\"\\0\")\n"
                        "' " LUDARO_INTEROP;
  for (const auto& table : tables) command += " '" + table.string() + "'";
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (!pipe) {
    ADD_FAILURE() << "cannot start " << command;
    return {};
  }
  std::string output;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  EXPECT_EQ(::pclose(pipe), 0) << command << ":\n" << output;
  std::vector<std::string> csvs;
  for (std::size_t start = 0, end; (end = output.find('\0', start)) != std::string::npos; start = end + 1)
    csvs.push_back(output.substr(start, end - start));
  EXPECT_EQ(csvs.size(), tables.size()) << output;
  csvs.resize(tables.size());
  return csvs;
}

// Every distinct content a table was found with, as files of `dir`.
std::vector<fs::path> WriteVersions(const std::set<std::string>& versions, const std::string& name,
                                    const test::TempDir& dir) {
  std::vector<fs::path> copies;
  for (const auto& bytes : versions) {
    copies.push_back(dir / (std::to_string(copies.size()) + "_" + name));
    test::WriteBytes(copies.back(), bytes);
  }
  return copies;
}

// dbfread reads each version as the engine does.
void ExpectDbfreadAgrees(const std::set<std::string>& versions, const std::string& name) {
  test::TempDir dir;
  const auto copies = WriteVersions(versions, name, dir);
  const auto csvs = ReadWithDbfread(copies);
  for (std::size_t i = 0; i < copies.size(); ++i) EXPECT_EQ(csvs[i], Dump(copies[i])) << copies[i];
}

// ---------------------------------------------------------------- power cut

// What the child process that is to lose its power watches. The hook is a
// plain function, so it finds its settings here.
struct PowerCut {
  long at = 0;       // the change to die at, from 1
  bool torn = false; // a write at that point puts half its bytes first
  std::string watched;
  long seen = 0;
} powerCut;

void CutPower(const platform::FileChange& change) {
  if (change.path.filename().string().find(powerCut.watched) == std::string::npos) return;
  if (++powerCut.seen < powerCut.at) return;
  if (powerCut.torn && change.kind == platform::FileChange::Kind::Write && change.size > 1) {
    const int fd = ::open(change.path.c_str(), O_WRONLY);
    if (fd >= 0 && ::pwrite(fd, change.data, change.size / 2, static_cast<off_t>(change.offset)) < 0) ::_exit(99);
  }
  ::kill(::getpid(), SIGKILL);
}

// Runs `action` in a child process that dies by SIGKILL just before its
// `at`th change to a file whose name holds `watched`. True when it died
// there; false when it ran out of changes first and ended normally.
bool RunWithPowerCut(long at, bool torn, const std::string& watched, const std::function<void()>& action) {
  const pid_t child = ::fork();
  if (child == 0) {
    powerCut = PowerCut{at, torn, watched, 0};
    platform::SetFileChangeHook(CutPower);
    action();
    ::_exit(0);
  }
  int status = 0;
  EXPECT_EQ(::waitpid(child, &status, 0), child);
  if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return true;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child ended with status " << status;
  return false;
}

// ------------------------------------------------------ the import's school

// The small school imported once, so CURSOST2 holds a first coding, and a
// second import with the courses coded anew and one course more.
class SchoolImport : public test::ImportFixture {
 public:
  const std::vector<std::string> kCodingFields = {"ABREV", "TURNO", "NIVEL", "CURSO", "NOMECURSO", "CODCURSO"};

  void ImportFirstTime(const fs::path& htemp) {
    WriteSmallSchool();
    const CliResult first = Import(htemp, "CODCURSO,TURNO,NIVEL,CURSO\nESO1,M,ESO,1\nBAC2,T,BAC,2\n");
    ASSERT_EQ(first.status, cli::kExitOk) << first.err;
    savedCoding = test::ReadRows(htemp, "CURSOST2", kCodingFields);
    WriteXade("gruposCentro.csv", {"C1,ESO1,G11,A,\"1º ESO\",1A", "C1,BAC2,G21,A,\"2º Bacharelato\",2BA",
                                   "C1,FP1,G31,A,\"1º FP\",1FP"});
  }

  CliResult ImportAgain(const fs::path& htemp) {
    return Import(htemp, "CODCURSO,TURNO,NIVEL,CURSO\nESO1,T,ESO,3\nBAC2,M,BACH,4\nFP1,M,FP,1\n");
  }

  CliResult Import(const fs::path& htemp, const std::string& coding) {
    test::WriteBytes(codingFolder_ / "coding.csv", coding);
    return Cli({"import", "--xade", xade().string(), "--htemp", htemp.string(), "--coding",
                (codingFolder_ / "coding.csv").string()});
  }

  TableRows Coding(const fs::path& htemp) { return test::ReadRows(htemp, "CURSOST2", kCodingFields); }

  // What a second run finds: the first import's tables, or Horalia's tables
  // for the export and the timetable XADE has.
  void PrepareSecondRun(bool import, const fs::path& htemp);
  // The import again, or the export.
  CliResult RunAgain(bool import, const fs::path& htemp);

  // The saved coding is the one before the second import or the one after,
  // and its index names only rows the table has.
  void ExpectWholeCoding(const fs::path& htemp, const TableRows& newCoding) {
    const TableRows coding = Coding(htemp);
    EXPECT_TRUE(coding == savedCoding || coding == newCoding) << "a mix of two codings or a torn table";
    const auto order = dbf::ReadMdxRecordOrder(htemp / "CURSOST2.MDX", "CODCURSO");
    for (const auto record : order) EXPECT_LE(record, coding.size()) << "the index names a row the table lacks";
  }

  TableRows savedCoding;

 private:
  test::TempDir codingFolder_;
};

// ----------------------------------------------------------- the export

constexpr const char* kOldTimetable = "\"1\",\"Luns\",\"08:00\",\"old\",\"\",\"\",\"\",\"\"\r\n";

// Horalia's tables for an export whose HORARIO.CSV takes several pages.
void WriteTimetableSchool(const fs::path& htemp) {
  test::WriteSchool(htemp);
  std::vector<test::SolucRow> rows;
  for (int day = 1; day <= 5; ++day)
    for (int hour = 1; hour <= 6; ++hour)
      for (int repeat = 0; repeat < 8; ++repeat) rows.push_back({u"MAT", u"P01", u"1A", u"A12", 1.0 * day, 1.0 * hour, 1});
  test::WriteSoluc(htemp, rows);
}

CliResult Export(const fs::path& htemp, const fs::path& xade) {
  return Cli({"export", "--xade", xade.string(), "--htemp", htemp.string()});
}

// A working folder with the tables of WriteTimetableSchool and an empty
// folder for HORARIO.CSV, in a folder of their own.
struct TimetableFolders : test::ExportFolders {
  TimetableFolders() { WriteTimetableSchool(htemp); }
};

// The HORARIO.CSV the export of WriteTimetableSchool writes.
std::string NewTimetable() {
  const TimetableFolders folders;
  const CliResult result = Export(folders.htemp, folders.xade);
  EXPECT_EQ(result.status, cli::kExitOk) << result.err;
  return test::ReadBytes(folders.xade / "HORARIO.CSV");
}

void SchoolImport::PrepareSecondRun(bool import, const fs::path& htemp) {
  if (import) {
    ImportFirstTime(htemp);
  } else {
    WriteTimetableSchool(htemp);
    test::WriteBytes(xade() / "HORARIO.CSV", kOldTimetable);
  }
}

CliResult SchoolImport::RunAgain(bool import, const fs::path& htemp) {
  return import ? ImportAgain(htemp) : Export(htemp, xade());
}

// ================================================================== tests

// A working folder the user cannot write to (a read-only share, a locked-down
// machine) stops either direction with the file named, and changes nothing.
TEST(ReadOnlyWorkingFolder, StopsNamingTheFileAndChangesNothing) {
  const struct {
    const char* name;
    bool import;
  } cases[] = {{"import", true}, {"export", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Tmpfs htemp(8 << 20);
    MOUNT_OR_SKIP(htemp);
    SchoolImport school;
    school.PrepareSecondRun(c.import, htemp.path());
    htemp.RemountReadOnly();
    const Snapshot tables = TakeSnapshot(htemp.path());
    const Snapshot xade = TakeSnapshot(school.xade());

    const CliResult result = school.RunAgain(c.import, htemp.path());
    EXPECT_EQ(result.status, cli::kExitStopped) << result.err;
    EXPECT_NE(result.err.find("error: "), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(htemp.path().string() + "/"), std::string::npos) << "no file named: " << result.err;
    EXPECT_EQ(result.err.find("Proceso finalizado"), std::string::npos) << result.err;
    EXPECT_TRUE(TakeSnapshot(htemp.path()) == tables);
    EXPECT_TRUE(TakeSnapshot(school.xade()) == xade);
  }
}

// A disk that fills up at any point of an import stops it with "No space
// left on device" and the file named; the coding saved by the last import is
// that one or the complete new one, every table left is readable, and no
// temporary file is left behind.
TEST(DiskFull, ImportKeepsTheSavedCodingAndEveryTableReadable) {
  Tmpfs htemp(1 << 20);
  MOUNT_OR_SKIP(htemp);
  SchoolImport school;
  school.ImportFirstTime(htemp.path());
  const Snapshot afterFirstImport = TakeSnapshot(htemp.path());

  std::set<std::string> codingVersions;
  TableRows newCoding;
  bool finished = false;
  for (std::size_t pages = 0; !finished && pages < 64; ++pages) {
    SCOPED_TRACE(std::to_string(pages) + " pages free");
    fs::remove(htemp.path() / Tmpfs::kFiller);
    Restore(htemp.path(), afterFirstImport);
    htemp.LeaveFree(pages);

    const CliResult result = school.ImportAgain(htemp.path());
    finished = result.status == cli::kExitOk;
    if (finished) {
      newCoding = school.Coding(htemp.path());
      EXPECT_NE(newCoding, school.savedCoding);
    } else {
      EXPECT_EQ(result.status, cli::kExitStopped) << result.err;
      EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
      EXPECT_NE(result.err.find(htemp.path().string() + "/"), std::string::npos) << result.err;
    }
    EXPECT_EQ(TemporaryFiles(htemp.path()), std::vector<std::string>{});
    for (const auto& entry : fs::directory_iterator(htemp.path()))
      if (entry.path().extension() == ".DBF") Dump(entry.path());
    codingVersions.insert(test::ReadBytes(htemp.path() / "CURSOST2.DBF"));
  }
  ASSERT_TRUE(finished) << "the import never had room enough";
  EXPECT_GE(codingVersions.size(), 2u) << "no run stopped after saving the coding";
  fs::remove(htemp.path() / Tmpfs::kFiller);
  // Every version of the coding met along the way was the old or the new one.
  test::TempDir check;
  for (const auto& bytes : codingVersions) {
    test::WriteBytes(check / "CURSOST2.DBF", bytes);
    const TableRows coding = test::ReadRows(check.path(), "CURSOST2", school.kCodingFields);
    EXPECT_TRUE(coding == school.savedCoding || coding == newCoding);
  }
  ExpectDbfreadAgrees(codingVersions, "CURSOST2.DBF");
}

// A disk that fills up while HORARIO.CSV is written keeps the timetable XADE
// had, says why, and leaves no half-written file beside it.
TEST(DiskFull, TimetableExportKeepsThePreviousFile) {
  const TimetableFolders folders;
  const fs::path& htemp = folders.htemp;
  const std::string newTimetable = NewTimetable();
  ASSERT_GT(newTimetable.size(), 2 * kPage) << "the timetable must take several pages to fail part way";
  Tmpfs xade(1 << 20);
  MOUNT_OR_SKIP(xade);

  bool finished = false;
  for (std::size_t pages = 0; !finished && pages < 16; ++pages) {
    SCOPED_TRACE(std::to_string(pages) + " pages free");
    fs::remove(xade.path() / Tmpfs::kFiller);
    test::WriteBytes(xade.path() / "HORARIO.CSV", kOldTimetable);
    xade.LeaveFree(pages);

    const CliResult result = Export(htemp, xade.path());
    finished = result.status == cli::kExitOk;
    if (!finished) {
      EXPECT_EQ(result.status, cli::kExitStopped) << result.err;
      EXPECT_NE(result.err.find("HORARIO.CSV"), std::string::npos) << result.err;
      EXPECT_NE(result.err.find("No space left on device"), std::string::npos) << result.err;
      EXPECT_EQ(test::ReadBytes(xade.path() / "HORARIO.CSV"), kOldTimetable);
    } else {
      EXPECT_EQ(test::ReadBytes(xade.path() / "HORARIO.CSV"), newTimetable);
    }
    EXPECT_EQ(TemporaryFiles(xade.path()), std::vector<std::string>{});
  }
  EXPECT_TRUE(finished) << "the export never had room enough";
}

// A file Horalia (or anyone) holds exclusively stops the run with the file
// named; that file is left as it was, and so is the saved coding.
TEST(TableInUse, StopsNamingTheTableAndLosesNothing) {
  const struct {
    const char* name;
    bool import;
    const char* held;  // in the working folder, or the XADE folder for HORARIO.CSV
    bool codingSaved;  // the import got past saving the coding
  } cases[] = {
      {"import, the saved coding held", true, "CURSOST2.DBF", false},
      {"import, the groups table held", true, "GRUPOST.DBF", true},
      {"export, Horalia's solution held", false, "SOLUC.DBF", false},
      {"export, the previous timetable held", false, "HORARIO.CSV", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir htemp;
    SchoolImport school;
    school.PrepareSecondRun(c.import, htemp.path());
    const fs::path held = (std::string(c.held) == "HORARIO.CSV" ? school.xade() : htemp.path()) / c.held;
    const std::string before = test::ReadBytes(held);
    test::ChildProcess holder(platform::ProgramFolder() / LUDARO_LOCK_HOLDER);
    holder.WriteLine(held.u8string());
    ASSERT_EQ(holder.ReadLine(), "locked");

    const CliResult result = school.RunAgain(c.import, htemp.path());
    EXPECT_EQ(result.status, cli::kExitStopped) << result.err;
    EXPECT_NE(result.err.find(held.string()), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("in use"), std::string::npos) << result.err;
    holder.CloseInput();
    EXPECT_EQ(holder.Wait(), 0);
    EXPECT_EQ(test::ReadBytes(held), before);
    if (c.import && !c.codingSaved) {
      EXPECT_EQ(school.Coding(htemp.path()), school.savedCoding);
    }
    EXPECT_EQ(TemporaryFiles(htemp.path()), std::vector<std::string>{});
    EXPECT_EQ(TemporaryFiles(school.xade()), std::vector<std::string>{});
  }
}

// A power cut at any change to the saved coding, also half way through a
// write, leaves the coding of the last import or the complete new one, with
// an index that fits it; never a mix of the two or a torn table. The next
// import gets on with the leftovers.
TEST(PowerCut, SavingTheCodingIsAllOrNothing) {
  SchoolImport school;
  school.ImportFirstTime(school.htemp());
  const Snapshot afterFirstImport = TakeSnapshot(school.htemp());
  ASSERT_EQ(school.ImportAgain(school.htemp()).status, cli::kExitOk);
  const TableRows newCoding = school.Coding(school.htemp());
  ASSERT_NE(newCoding, school.savedCoding);

  std::set<std::string> versions;
  long cuts = 0;
  for (long at = 1;; ++at) {
    bool cut = false;
    for (const bool torn : {false, true}) {
      SCOPED_TRACE("cut at change " + std::to_string(at) + (torn ? ", half written" : ""));
      Restore(school.htemp(), afterFirstImport);
      cut = RunWithPowerCut(at, torn, "CURSOST2", [&] { school.ImportAgain(school.htemp()); });
      school.ExpectWholeCoding(school.htemp(), newCoding);
      versions.insert(test::ReadBytes(school.htemp() / "CURSOST2.DBF"));
      cuts += cut;
    }
    if (!cut || ::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(cuts, 4);
  ExpectDbfreadAgrees(versions, "CURSOST2.DBF");

  const CliResult again = school.ImportAgain(school.htemp());
  EXPECT_EQ(again.status, cli::kExitOk) << again.err;
  EXPECT_EQ(school.Coding(school.htemp()), newCoding);
  EXPECT_EQ(TemporaryFiles(school.htemp()), std::vector<std::string>{});
}

// A power cut while HORARIO.CSV is written leaves XADE the previous
// timetable or the complete new one.
TEST(PowerCut, WritingTheTimetableIsAllOrNothing) {
  const TimetableFolders folders;
  const fs::path& htemp = folders.htemp;
  const fs::path& xade = folders.xade;
  const std::string newTimetable = NewTimetable();

  long cuts = 0;
  for (long at = 1;; ++at) {
    bool cut = false;
    for (const bool torn : {false, true}) {
      SCOPED_TRACE("cut at change " + std::to_string(at) + (torn ? ", half written" : ""));
      test::WriteBytes(xade / "HORARIO.CSV", kOldTimetable);
      cut = RunWithPowerCut(at, torn, "HORARIO.CSV", [&] { Export(htemp, xade); });
      const std::string timetable = test::ReadBytes(xade / "HORARIO.CSV");
      EXPECT_TRUE(timetable == kOldTimetable || timetable == newTimetable) << timetable.size() << " bytes";
      cuts += cut;
    }
    if (!cut || ::testing::Test::HasFailure()) break;
  }
  EXPECT_GT(cuts, 2);
}

// A power cut while rows are appended to a table, with every row written
// through (shared use) or in batches (exclusive use), loses at worst the
// last rows: the header never counts a row the file lacks, so the engine and
// dbfread still read the table.
TEST(PowerCut, AnAppendLosesAtMostTheLastRows) {
  const dbf::TableDef definition{{dbf::FieldDef::Text("NOME", 20), dbf::FieldDef::Integer("ORDE")}, {"NOME"}};
  for (const bool exclusive : {false, true}) {
    SCOPED_TRACE(exclusive ? "exclusive" : "shared");
    test::TempDir dir;
    const auto fill = [&](int first, int count) {
      dbf::Table table(dir.path(), "FILAS");
      table.SetExclusive(exclusive);
      table.Open();
      for (int row = first; row < first + count; ++row) {
        table.Append();
        table.SetString("NOME", u"fila " + std::u16string(1, static_cast<char16_t>(u'a' + row)));
        table.SetInteger("ORDE", row);
        table.Post();
      }
      table.Close();
    };
    dbf::Table(dir.path(), "FILAS").Create(definition);
    fill(0, 3);
    const Snapshot before = TakeSnapshot(dir.path());

    std::set<std::string> versions;
    for (long at = 1;; ++at) {
      bool cut = false;
      for (const bool torn : {false, true}) {
        SCOPED_TRACE("cut at change " + std::to_string(at) + (torn ? ", half written" : ""));
        Restore(dir.path(), before);
        cut = RunWithPowerCut(at, torn, "FILAS", [&] { fill(3, 5); });
        const auto rows = test::ReadRows(dir.path(), "FILAS", {"ORDE"}, "NOME");
        ASSERT_GE(rows.size(), 3u) << "rows written before were lost";
        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], std::to_string(i));
        versions.insert(test::ReadBytes(dir / "FILAS.DBF"));
      }
      if (!cut || ::testing::Test::HasFailure()) break;
    }
    // dbfread goes by the end-of-file mark, not the header's count, so it may
    // see one whole row more than the engine; never a row half written.
    test::TempDir copies;
    const auto csvs = ReadWithDbfread(WriteVersions(versions, "FILAS.DBF", copies));
    for (const auto& csv : csvs) {
      std::istringstream lines(csv);
      std::string line;
      std::getline(lines, line);
      EXPECT_EQ(line, "NOME,ORDE");
      int row = 0;
      for (; std::getline(lines, line); ++row)
        EXPECT_EQ(line, "fila " + std::string(1, static_cast<char>('a' + row)) + "," + std::to_string(row)) << csv;
      EXPECT_GE(row, 3) << csv;
    }
  }
}

}  // namespace
}  // namespace ludaro
