#include "common/dbf/dbf_header.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/error.h"

namespace ludaro::dbf {
namespace {

// A two-field dBase IV table with `rows` rows of "ab" and 7.
std::string SmallTable(int rows, int level = 4) {
  DbfHeader header = MakeDbfHeader({{level == 7 ? "A_LONG_FIELD_NAME" : "NAME", 'C', 2, 0, 0, false},
                                    {"N", 'N', 3, 0, 0, true}},
                                   level, 0x57, "DBWINUS0", true);
  header.recordCount = static_cast<std::uint32_t>(rows);
  std::string bytes = SerializeDbfHeader(header);
  for (int i = 0; i < rows; ++i) bytes += " ab  7";
  bytes.push_back('\x1A');
  return bytes;
}

DbfHeader Parse(const std::string& bytes) { return ParseDbfHeader(bytes, bytes.size(), "T.DBF"); }

void PutU16(std::string& bytes, std::size_t at, unsigned value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

TEST(DbfHeaderTest, WritesWhatItReadsAtBothLevels) {
  for (int level : {4, 7}) {
    const DbfHeader header = Parse(SmallTable(3, level));
    EXPECT_EQ(header.level, level);
    EXPECT_EQ(header.version, level == 7 ? 0x04 : 0x03);
    EXPECT_EQ(header.recordCount, 3u);
    EXPECT_EQ(header.recordLength, 6);
    EXPECT_TRUE(header.productionIndex);
    EXPECT_EQ(header.languageDriver, 0x57);
    ASSERT_EQ(header.fields.size(), 2u);
    EXPECT_EQ(header.fields[0].name, level == 7 ? "A_LONG_FIELD_NAME" : "NAME");
    EXPECT_FALSE(header.fields[0].indexed);
    EXPECT_EQ(header.fields[1].offset, 3u);
    EXPECT_TRUE(header.fields[1].indexed);
    if (level == 7) {
      EXPECT_EQ(header.languageDriverName, "DBWINUS0");
    }
  }
}

TEST(DbfHeaderTest, HeaderLayoutMatchesTheFormat) {
  const std::string bytes = SmallTable(1);
  EXPECT_EQ(bytes.size(), 32u + 2 * 32 + 1 + 6 + 1);
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 0x01);  // production index flag
  EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x57);
  EXPECT_EQ(bytes[32 + 32 + 11], 'N');
  EXPECT_EQ(bytes[32 + 32 + 31], 1);  // the indexed field's flag
  EXPECT_EQ(bytes[32 + 64], '\x0D');

  const std::string level7 = SmallTable(0, 7);
  EXPECT_EQ(level7.substr(32, 8), "DBWINUS0");
  EXPECT_EQ(level7.substr(68, 17), "A_LONG_FIELD_NAME");
  EXPECT_EQ(level7[68 + 32], 'C');
  EXPECT_EQ(level7[68 + 48 + 37], 1);
}

TEST(DbfHeaderTest, RefusesDamagedHeadersWithAMessage) {
  struct Case {
    const char* what;
    std::function<void(std::string&)> damage;
    const char* message;
  };
  const Case cases[] = {
      {"empty file", [](std::string& b) { b.clear(); }, "shorter than a table header"},
      {"cut in the header", [](std::string& b) { b.resize(40); }, "exceeds the file size"},
      {"record count lies", [](std::string& b) { PutU32(b, 4, 1000); }, "announces 1000 rows"},
      {"record count near 2^32", [](std::string& b) { PutU32(b, 4, 0xFFFFFFFFu); }, "announces 4294967295 rows"},
      {"header length past the end", [](std::string& b) { PutU16(b, 8, 0xFFFF); }, "exceeds the file size"},
      {"header length too small", [](std::string& b) { PutU16(b, 8, 10); }, "too small"},
      {"descriptor past the header", [](std::string& b) { PutU16(b, 8, 32 + 32 + 20); }, "runs past the header"},
      {"record length too long", [](std::string& b) { PutU16(b, 10, 60); }, "does not match the fields"},
      {"record length zero", [](std::string& b) { PutU16(b, 10, 0); }, "record length is 0"},
      {"unknown version", [](std::string& b) { b[0] = '\x42'; }, "unknown version byte 0x42"},
      {"zero width field", [](std::string& b) { b[32 + 16] = 0; }, "width 0"},
      {"nameless field", [](std::string& b) { b[32] = 0; }, "has no name"},
      {"no fields", [](std::string& b) { b[32] = '\x0D'; }, "no fields"},
  };
  for (const Case& c : cases) {
    std::string bytes = SmallTable(2);
    c.damage(bytes);
    try {
      Parse(bytes);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const Error& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.what << ": " << error.what();
      EXPECT_NE(std::string(error.what()).find("T.DBF"), std::string::npos) << c.what;
    }
  }
}

// Sizes are reckoned in 64 bits in every build: in 32-bit arithmetic a 3 GB
// file announcing just over 4 GB of rows would wrap to a few bytes and pass.
TEST(DbfHeaderTest, RefusesRowsPastALargeFileWithoutWrapping) {
  constexpr std::uint64_t kThreeGigabytes = 3ull << 30;
  std::string bytes = SmallTable(0);
  const std::uint32_t rows = 716'000'000;  // 6-byte rows: 4,296,000,000 bytes, 2^32 and a little
  PutU32(bytes, 4, rows);
  try {
    ParseDbfHeader(bytes, kThreeGigabytes, "BIG.DBF");
    ADD_FAILURE() << "accepted";
  } catch (const Error& error) {
    const std::uint64_t header = bytes.size() - 1;
    const std::string held = std::to_string((kThreeGigabytes - header) / 6);
    EXPECT_NE(std::string(error.what()).find("announces 716000000 rows but the file holds only " + held),
              std::string::npos)
        << error.what();
  }
  PutU32(bytes, 4, 500'000'000);  // 3,000,000,000 bytes: they fit
  EXPECT_EQ(ParseDbfHeader(bytes, kThreeGigabytes, "BIG.DBF").recordCount, 500'000'000u);
}

TEST(DbfHeaderTest, AcceptsForeignVariants) {
  // dBase III without terminator room and with an extra byte after it, as
  // some writers leave it.
  std::string bytes = SmallTable(1);
  bytes[0] = '\x83';  // dBase III with memo
  bytes[28] = 0;
  const DbfHeader header = Parse(bytes);
  EXPECT_EQ(header.level, 3);
  EXPECT_FALSE(header.productionIndex);

  std::string longer = SmallTable(0);
  longer.insert(32 + 64 + 1, 1, '\0');
  PutU16(longer, 8, 32 + 64 + 2);
  EXPECT_EQ(Parse(longer).fields.size(), 2u);
}

}  // namespace
}  // namespace ludaro::dbf
