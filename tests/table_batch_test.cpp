// Rows appended to a table held exclusively are written in batches. What a
// batch must never cost: a row posted and then missing from the file or its
// index, a header counting rows whose bytes are not there, or a failed write
// that passes unnoticed.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>

#include "common/dbf/table.h"
#include "common/error.h"
#include "common/utf.h"
#include "tests/test_support.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace ludaro::dbf {
namespace {

using test::TempDir;

// 209 bytes a row, so a few thousand rows fill a batch.
TableDef WideDef() { return {{FieldDef::Text("KEY", 8), FieldDef::Text("FILL", 200)}, {"KEY"}}; }
constexpr std::uint64_t kRecordLength = 209;

std::u16string KeyOf(int n) {
  std::string digits = std::to_string(n);
  return Utf8ToU16(std::string(8 - digits.size(), '0') + digits);
}

void AppendRows(Table& table, int from, int to) {
  for (int n = from; n < to; ++n) {
    table.Append();
    table.SetString("KEY", KeyOf(n));
    table.SetString("FILL", u"fila " + KeyOf(n));
    table.Post();
  }
}

std::uint32_t HeaderCount(const std::filesystem::path& dbf) {
  const std::string bytes = test::ReadBytes(dbf);
  std::uint32_t count = 0;
  for (int i = 3; i >= 0; --i) count = count << 8 | static_cast<unsigned char>(bytes.at(4 + static_cast<std::size_t>(i)));
  return count;
}

// The rows a fresh handle finds, walked through the rewritten index: keys
// 0 .. rows-1 in order, each with its own fill but the edited ones.
void ExpectRows(const std::filesystem::path& folder, int rows, std::set<int> edited = {}) {
  Table table(folder, "WIDE");
  table.SetIndexName("KEY");
  table.Open();
  EXPECT_EQ(table.RecordCount(), static_cast<std::size_t>(rows));
  int n = 0;
  for (table.First(); !table.Eof(); table.Next(), ++n) {
    ASSERT_EQ(table.AsString("KEY"), KeyOf(n));
    ASSERT_EQ(table.AsString("FILL"), edited.count(n) ? u"editada" : u"fila " + KeyOf(n));
  }
  EXPECT_EQ(n, rows);
}

struct Ending {
  const char* name;
  std::function<void(Table&)> end;
};

TEST(TableBatchTest, EveryRowAppendedReachesTheFileAndItsIndexHoweverTheHandleEnds) {
  const Ending endings[] = {
      {"closed", [](Table& table) { table.Close(); }},
      {"destroyed while an error unwinds", [](Table&) { throw std::runtime_error("the step failed"); }},
  };
  for (const auto& ending : endings) {
    SCOPED_TRACE(ending.name);
    TempDir dir;
    const int rows = 12000;  // more than two batches
    try {
      Table table(dir.path(), "WIDE");
      table.Create(WideDef());
      table.SetExclusive(true);
      table.Open();
      AppendRows(table, 0, 7000);
      // Edits of a row already written (and let go from memory) and of one
      // still held back, between two batches.
      for (const std::uint32_t recNo : {101u, 6001u}) {
        table.GoToRecord(recNo);
        EXPECT_EQ(table.AsString("KEY"), KeyOf(static_cast<int>(recNo) - 1));
        table.Edit();
        table.SetString("FILL", u"editada");
        table.Post();
      }
      AppendRows(table, 7000, rows);
      ending.end(table);
    } catch (const std::runtime_error&) {
    }
    const auto dbf = dir / "WIDE.DBF";
    EXPECT_EQ(HeaderCount(dbf), static_cast<std::uint32_t>(rows));
    const std::string bytes = test::ReadBytes(dbf);
    EXPECT_EQ(bytes.back(), '\x1A');
    ExpectRows(dir.path(), rows, {100, 6000});
  }
}

// A table several times larger than the rows a handle keeps in memory:
// lookups land on rows read back one at a time, walks read blocks, and an
// edit or a deletion must reach every copy that is held, whether the rows
// were appended through this handle or were in the file when it opened.
TEST(TableBatchTest, ATableLargerThanWhatIsHeldReadsBackTheRowsItIsAskedFor) {
  // About 74 MB: more than a table may keep of what it reads back, so
  // lookups read single rows.
  constexpr int kRows = 30000;
  TableDef wide = WideDef();
  for (int pad = 1; pad <= 9; ++pad) wide.fields.push_back(FieldDef::Text("PAD" + std::to_string(pad), 250));
  for (const bool exclusive : {false, true}) {
    for (const bool appendedThroughThisHandle : {false, true}) {
      SCOPED_TRACE(std::string(exclusive ? "exclusive" : "shared") +
                   (appendedThroughThisHandle ? ", rows appended by this handle" : ", rows in the file"));
      TempDir dir;
      Table table(dir.path(), "WIDE");
      table.Create(wide);
      if (!appendedThroughThisHandle) {
        table.SetExclusive(true);
        table.Open();
        AppendRows(table, 0, kRows);
        table.Close();
      }
      table.SetExclusive(exclusive);
      table.Open();
      if (appendedThroughThisHandle) AppendRows(table, 0, kRows);

      // Far apart, back and forth, so no two land in the same block in a row.
      for (const int n : {29999, 3, 17001, 8, 25000, 12345, 0}) {
        ASSERT_TRUE(table.Locate("KEY", {KeyOf(n)})) << n;
        EXPECT_EQ(table.RecNo(), static_cast<std::uint32_t>(n + 1));
        EXPECT_EQ(table.AsString("FILL"), u"fila " + KeyOf(n));
      }
      table.SetIndexName("KEY");
      ASSERT_TRUE(table.FindKey({KeyOf(20000)}));
      EXPECT_EQ(table.AsString("FILL"), u"fila " + KeyOf(20000));

      // The located row is edited, then one next to it in the same block.
      for (const int n : {20000, 20001}) {
        ASSERT_TRUE(table.Locate("KEY", {KeyOf(n)}));
        table.Edit();
        table.SetString("FILL", u"editada");
        table.Post();
        EXPECT_EQ(table.AsString("FILL"), u"editada");
      }
      ASSERT_TRUE(table.Locate("KEY", {KeyOf(7)}));
      table.Delete();
      EXPECT_FALSE(table.Locate("KEY", {KeyOf(7)}));
      EXPECT_EQ(table.RecordCount(), static_cast<std::size_t>(kRows - 1));
      for (const int n : {20000, 20001}) {
        ASSERT_TRUE(table.Locate("KEY", {KeyOf(n)}));
        EXPECT_EQ(table.AsString("FILL"), u"editada");
      }

      // A walk in key order interleaved with lookups elsewhere sees every
      // change.
      int n = 0;
      for (table.First(); !table.Eof(); table.Next(), ++n) {
        if (n == 7) ++n;
        ASSERT_EQ(table.AsString("KEY"), KeyOf(n));
        ASSERT_EQ(table.AsString("FILL"), n == 20000 || n == 20001 ? u"editada" : u"fila " + KeyOf(n));
        if (n % 5000 == 0) {
          ASSERT_EQ(table.StringAt(static_cast<std::uint32_t>(kRows - n), "KEY"), KeyOf(kRows - n - 1));
        }
      }
      EXPECT_EQ(n, kRows);
      table.Close();

      Table reader(dir.path(), "WIDE");
      reader.Open();
      EXPECT_EQ(reader.RecordCount(), static_cast<std::size_t>(kRows - 1));
      ASSERT_TRUE(reader.Locate("KEY", {KeyOf(20001)}));
      EXPECT_EQ(reader.AsString("FILL"), u"editada");
      EXPECT_FALSE(reader.Locate("KEY", {KeyOf(7)}));
    }
  }
}

#ifndef _WIN32
// A file size limit stands in for a full disk: writes past it fail.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST(TableBatchTest, AFullDiskKeepsEveryRowThereWasRoomForAndNamesTheFirstLost) {
  TempDir dir;
  const auto dbf = dir / "WIDE.DBF";
  std::string failure;
  std::string closeFailure;
  {
    Table table(dir.path(), "WIDE");
    table.Create(WideDef());
    const std::uint64_t headerLength = test::ReadBytes(dbf).size() - 1;
    table.SetExclusive(true);
    table.Open();
    // Room for 7000 rows and the end mark: the first batch fits, the second
    // only in part.
    const FileSizeLimit limit(headerLength + 7000 * kRecordLength + 100);
    failure = test::MessageOf([&] { AppendRows(table, 0, 12000); });
    closeFailure = test::MessageOf([&] { table.Close(); });
  }
  EXPECT_NE(failure.find("row 7001 and the"), std::string::npos) << failure;
  EXPECT_NE(failure.find("WIDE.DBF"), std::string::npos) << failure;
  EXPECT_NE(closeFailure.find("row 7001 and the"), std::string::npos) << closeFailure;
  EXPECT_EQ(HeaderCount(dbf), 7000u);
  ExpectRows(dir.path(), 7000);
}
#endif

}  // namespace
}  // namespace ludaro::dbf
