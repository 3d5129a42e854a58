#include "common/dbf/mdx_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "common/dbf/mdx_numeric_key.h"
#include "common/error.h"
#include "tests/test_support.h"

namespace ludaro::dbf {
namespace {

using test::TempDir;
using Records = std::vector<std::uint32_t>;

MdxTag CharacterTag(const std::string& name, int length) { return {name, name, 'C', length, false, false, false}; }
MdxTag NumericTag(const std::string& name) { return {name, name, 'N', 12, false, false, false}; }

// Character keys for records 1, 2, ... in that order.
MdxTagData CharacterKeys(const std::string& name, int length, const std::vector<std::string>& texts) {
  MdxTagData data{CharacterTag(name, length), {}};
  for (std::size_t i = 0; i < texts.size(); ++i) data.keys.push_back({texts[i], 0, static_cast<std::uint32_t>(i + 1)});
  return data;
}

MdxTagData NumericKeys(const std::string& name, const std::vector<double>& numbers) {
  MdxTagData data{NumericTag(name), {}};
  for (std::size_t i = 0; i < numbers.size(); ++i) data.keys.push_back({"", numbers[i], static_cast<std::uint32_t>(i + 1)});
  return data;
}

std::uint32_t U32At(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
  return value;
}

void PutU32At(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// ------------------------------------------------------------ round trip

struct OrderCase {
  const char* name;
  MdxTagData data;
  Records expected;
};

// Orders worked out by hand: binary order of cp1252 bytes for text, numeric
// order for numbers, equal keys by record number.
std::vector<OrderCase> OrderCases() {
  return {
      {"empty tag", CharacterKeys("CODIGO", 8, {}), {}},
      {"one key", CharacterKeys("CODIGO", 8, {"ABC"}), {1}},
      {"text: blanks first, capitals, small letters, then accented letters",
       CharacterKeys("NOMBRE", 6, {"b", "\xC1lvaro", "", "Zoe", "\xE1", "A", "      ", "a", "\xD1u"}),
       {3, 7, 6, 4, 8, 1, 2, 9, 5}},
      {"text: equal keys in record order whatever the order given",
       {CharacterTag("ABREV", 4), {{"MAR", 0, 9}, {"ANA", 0, 4}, {"MAR", 0, 2}, {"ANA", 0, 7}, {"MAR", 0, 5}}},
       {4, 7, 2, 5, 9}},
      {"text: keys that differ only after the eighth byte",
       CharacterKeys("NOMBRE", 12, {"ABCDEFGHZ", "ABCDEFGHA", "ABCDEFGH", "ABCDEFGHA"}),
       {3, 2, 4, 1}},
      {"numbers: signs, fractions, zero and negative zero, equal values",
       NumericKeys("IMPORTE", {12.5, -4, 0.05, 0, 999.99, -0.25, -0.0, 12.5, -30, 1e15, -1e-9}),
       {9, 2, 6, 11, 4, 7, 3, 1, 8, 5, 10}},
      {"numbers beyond 15 digits are keyed by their first 15, equal ones by record",
       NumericKeys("NUMERO", {123456789012345678.0, 123456789012345670.0, 1.0000000000000002, 1.0}),
       {3, 4, 1, 2}},
  };
}

TEST(MdxFile, WritesTagsWhoseLeavesListTheRecordsInKeyOrder) {
  for (int level : {4, 7}) {
    for (auto& c : OrderCases()) {
      SCOPED_TRACE(std::string(c.name) + ", level " + std::to_string(level));
      TempDir dir;
      const auto mdx = dir / "TABLA.MDX";
      const std::string tagName = c.data.tag.name;
      WriteMdx(mdx, "TABLA", level, 0x57, {c.data});
      EXPECT_EQ(ReadMdxRecordOrder(mdx, tagName), c.expected);
    }
  }
}

// Every key of its own, in an order no tree shape can fake; the expected
// order comes from a plain stable sort of the same values.
TEST(MdxFile, ManyKeysMakeTreesOfSeveralLevels) {
  std::mt19937 random(20240611);
  const std::size_t count = 60000;
  std::vector<std::string> texts(count);
  std::vector<double> numbers(count);
  for (std::size_t i = 0; i < count; ++i) {
    texts[i] = std::to_string(random() % 50000);  // repeats, so equal keys span blocks
    numbers[i] = static_cast<double>(static_cast<int>(random() % 200001) - 100000) / 100;
  }
  Records byText(count), byNumber(count);
  std::iota(byText.begin(), byText.end(), 1u);
  std::iota(byNumber.begin(), byNumber.end(), 1u);
  std::stable_sort(byText.begin(), byText.end(), [&](auto a, auto b) { return texts[a - 1] < texts[b - 1]; });
  std::stable_sort(byNumber.begin(), byNumber.end(), [&](auto a, auto b) { return numbers[a - 1] < numbers[b - 1]; });

  // A 100-byte key leaves 9 entries to a block: four levels for 3000 keys.
  std::vector<std::string> wide(texts.begin(), texts.begin() + 3000);
  Records byWide(byText);
  byWide.erase(std::remove_if(byWide.begin(), byWide.end(), [](auto r) { return r > 3000; }), byWide.end());

  for (int level : {4, 7}) {
    SCOPED_TRACE("level " + std::to_string(level));
    TempDir dir;
    const auto mdx = dir / "GRANDE.MDX";
    WriteMdx(mdx, "GRANDE", level, 0x57,
             {CharacterKeys("CODIGO", 8, texts), NumericKeys("IMPORTE", numbers), CharacterKeys("ANCHO", 100, wide)});
    EXPECT_EQ(ReadMdxRecordOrder(mdx, "CODIGO"), byText);
    EXPECT_EQ(ReadMdxRecordOrder(mdx, "IMPORTE"), byNumber);
    EXPECT_EQ(ReadMdxRecordOrder(mdx, "ANCHO"), byWide);
  }
}

TEST(MdxFile, ReadsBackTheTagsItWrote) {
  for (int level : {4, 7}) {
    SCOPED_TRACE("level " + std::to_string(level));
    TempDir dir;
    const auto mdx = dir / "TABLA.MDX";
    WriteMdx(mdx, "TABLA", level, 0x57, {CharacterKeys("ABREV", 10, {"X"}), NumericKeys("HORAS", {1, 2})});
    const auto tags = ReadMdxTags(mdx);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "ABREV");
    EXPECT_EQ(tags[0].expression, "ABREV");
    EXPECT_EQ(tags[0].keyType, 'C');
    EXPECT_EQ(tags[0].keyLength, 10);
    EXPECT_EQ(tags[1].name, "HORAS");
    EXPECT_EQ(tags[1].keyType, 'N');
    EXPECT_EQ(tags[1].keyLength, 12);
    for (const auto& tag : tags) EXPECT_FALSE(tag.descending || tag.unique || tag.hasFilter) << tag.name;
    EXPECT_EQ(ReadMdxRecordOrder(mdx, "horas"), (Records{1, 2})) << "tag names match without regard to case";
  }
}

// What other programs look for before they read a tree.
TEST(MdxFile, HeaderCarriesWhatOtherReadersCheck) {
  TempDir dir;
  const auto mdx4 = dir / "PROFES.MDX";
  const auto mdx7 = dir / "GRUPOS.MDX";
  WriteMdx(mdx4, "PROFES", 4, 0x57, {CharacterKeys("ABREV", 10, {}), NumericKeys("HORAS", {})});
  WriteMdx(mdx7, "GRUPOS", 7, 0x57, {CharacterKeys("GRUPO", 10, {})});
  const std::string bytes4 = test::ReadBytes(mdx4);
  const std::string bytes7 = test::ReadBytes(mdx7);

  EXPECT_EQ(bytes4[0], 2) << "dBase IV index";
  EXPECT_EQ(bytes7[0], 3) << "dBase 7 index";
  EXPECT_EQ(bytes4.substr(4, 7), std::string("PROFES\0", 7));
  EXPECT_EQ(bytes4[24], 1) << "production flag";
  EXPECT_EQ(static_cast<unsigned char>(bytes4[31]), 0x57u) << "language driver";
  EXPECT_EQ(bytes4.substr(20, 4), std::string("\x02\x00\x00\x04", 4)) << "blocks of two 512-byte pages";
  EXPECT_EQ(bytes4[28], 2) << "tags in use";
  EXPECT_EQ(U32At(bytes4, 32) * 512, bytes4.size()) << "pages in the file";
  EXPECT_EQ(bytes4[26], 32) << "dBase IV tag slots";
  EXPECT_EQ(bytes7[26], 48) << "dBase 7 tag slots hold 33-byte names";
  EXPECT_EQ(bytes4.substr(544 + 4, 6), std::string("ABREV\0", 6));
  EXPECT_EQ(bytes4[544 + 20], 'C');
  EXPECT_EQ(bytes4[576 + 20], 'N');
  EXPECT_EQ(bytes4[576 + 18], 1) << "HORAS hangs below ABREV in the tag table's name tree";
  EXPECT_EQ(bytes4[544 + 17], 2) << "ABREV's greater child is tag 2";
  EXPECT_EQ(bytes7.substr(560 + 4, 6), std::string("GRUPO\0", 6));
  EXPECT_EQ(bytes7[560 + 42], 'C');
}

TEST(MdxNumericKey, EncodesNumbersAsDbasePackedDecimal) {
  const struct {
    double value;
    std::string bytes;
  } cases[] = {
      {0, std::string("\x34\x01", 2)},
      {-0.0, std::string("\x34\x01", 2)},
      {20.5, std::string("\x36\x0D\x20\x50", 4)},
      {12, std::string("\x36\x09\x12", 3)},
      {-4, std::string("\x35\x85\x40", 3)},
      {999.99, std::string("\x37\x15\x99\x99\x90", 5)},
      {0.05, std::string("\x33\x05\x50", 3)},
      {1e15, std::string("\x44\x05\x10", 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const auto key = EncodeNumericKey(c.value);
    ASSERT_TRUE(key);
    std::string expected = c.bytes;
    expected.resize(kNumericKeySize, '\0');
    EXPECT_EQ(std::string(key->bytes.begin(), key->bytes.end()), expected);
  }
  EXPECT_FALSE(EncodeNumericKey(std::nan("")));
  EXPECT_FALSE(EncodeNumericKey(std::numeric_limits<double>::infinity()));
  EXPECT_FALSE(EncodeNumericKey(1e300)) << "the point would be beyond what one byte says";
}

// ------------------------------------------------------------ writer errors

TEST(MdxFile, WriterRefusesWhatItCannotWriteAndKeepsTheOldIndex) {
  const auto withKey = [](MdxTagData data, MdxKey key) {
    data.keys.push_back(std::move(key));
    return data;
  };
  const auto flagged = [](MdxTagData data, bool MdxTag::*flag) {
    data.tag.*flag = true;
    return data;
  };
  const struct {
    const char* name;
    int level;
    std::vector<MdxTagData> tags;
    const char* message;
  } cases[] = {
      {"level", 5, {CharacterKeys("A", 4, {})}, "not level 5"},
      {"key too long", 4, {CharacterKeys("A", 4, {"ABCDE"})}, "longer than 4 bytes"},
      {"record 0", 4, {withKey(CharacterKeys("A", 4, {}), {"X", 0, 0})}, "record number 0"},
      {"not a number", 4, {NumericKeys("N", {std::nan("")})}, "cannot be a key"},
      {"date tag", 4, {{{"FECHA", "FECHA", 'D', 8}, {}}}, "key type 'D'"},
      {"numeric key length", 4, {{{"N", "N", 'N', 8}, {}}}, "numeric key has 12 bytes"},
      {"character key length", 4, {CharacterKeys("A", 101, {})}, "1 to 100 bytes"},
      {"tag name too long", 4, {CharacterKeys("NOMBRELARGO", 4, {})}, "1 to 10 characters"},
      {"same name twice", 4, {CharacterKeys("A", 4, {}), NumericKeys("A", {})}, "two tags are named A"},
      {"descending", 4, {flagged(CharacterKeys("A", 4, {}), &MdxTag::descending)}, "only ascending"},
      {"unique", 4, {flagged(CharacterKeys("A", 4, {}), &MdxTag::unique)}, "only ascending"},
      {"filter", 4, {flagged(CharacterKeys("A", 4, {}), &MdxTag::hasFilter)}, "only ascending"},
      {"too many tags", 4, std::vector<MdxTagData>(48, CharacterKeys("A", 4, {})), "at most 47"},
      {"too many dBase 7 tags", 7, std::vector<MdxTagData>(32, CharacterKeys("A", 4, {})), "at most 31"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const auto mdx = dir / "TABLA.MDX";
    WriteMdx(mdx, "TABLA", 4, 0x57, {CharacterKeys("OLD", 4, {"B", "A"})});
    const std::string message = test::MessageOf([&] { WriteMdx(mdx, "TABLA", c.level, 0x57, c.tags); });
    EXPECT_NE(message.find(mdx.u8string() + ": "), std::string::npos) << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
    EXPECT_EQ(ReadMdxRecordOrder(mdx, "OLD"), (Records{2, 1}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing left beside it";
  }
}

TEST(MdxFile, ReplacesAnExistingIndexWhole) {
  TempDir dir;
  const auto mdx = dir / "TABLA.MDX";
  WriteMdx(mdx, "TABLA", 4, 0x57, {CharacterKeys("A", 4, std::vector<std::string>(5000, "Z"))});
  WriteMdx(mdx, "TABLA", 4, 0x57, {CharacterKeys("B", 4, {"Y", "X"})});
  EXPECT_EQ(ReadMdxRecordOrder(mdx, "B"), (Records{2, 1}));
  EXPECT_EQ(std::filesystem::file_size(mdx), 2048u + 1024 + 1024) << "header, tag header, one leaf: no tail of the old file";
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(MdxFile, FailureToWriteNamesTheFile) {
  TempDir dir;
  const auto mdx = dir / "MISSING" / "TABLA.MDX";
  const std::string message = test::MessageOf([&] { WriteMdx(mdx, "TABLA", 4, 0x57, {CharacterKeys("A", 4, {})}); });
  EXPECT_EQ(message.rfind(mdx.u8string() + ": cannot write the index", 0), 0u) << message;
}

// ------------------------------------------------------------ foreign files

// Written by Free Pascal's TDbf (tests/interop/mdx/make_fixtures.pas), with
// the record order TDbf itself walks beside each tag.
Records OrderFile(const std::string& name) {
  std::istringstream lines(test::ReadBytes(test::Fixture("tdbf/" + name)));
  Records records;
  for (std::uint32_t record; lines >> record;) records.push_back(record);
  return records;
}

TEST(MdxFile, ReadsIndexesFreePascalTdbfWrote) {
  const struct {
    const char* table;
    const char* textTag;
    const char* numberTag;
  } tables[] = {{"TDBF4", "CODIGO", "IMPORTE"}, {"TDBF7", "GRUPO", "ORDEN"}};
  for (const auto& t : tables) {
    SCOPED_TRACE(t.table);
    const auto mdx = test::Fixture(std::string("tdbf/") + t.table + ".mdx");
    const auto tags = ReadMdxTags(mdx);
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, t.textTag);
    EXPECT_EQ(tags[0].expression, t.textTag);
    EXPECT_EQ(tags[0].keyType, 'C');
    EXPECT_EQ(tags[0].keyLength, 8);
    EXPECT_EQ(tags[1].name, t.numberTag);
    EXPECT_EQ(tags[1].keyType, 'N');
    EXPECT_EQ(tags[1].keyLength, 12);
    for (const auto& tag : tags) {
      const auto order = ReadMdxRecordOrder(mdx, tag.name);
      EXPECT_EQ(order, OrderFile(std::string(t.table) + "." + tag.name + ".order")) << tag.name;
      EXPECT_FALSE(order.empty());
    }
  }
}

// ------------------------------------------------------------ hostile files

// A valid dBase IV index with one three-level tree (8-byte keys, 84 to a
// block): tag header at page 4, leaves from page 6, the root last.
class DamagedMdx : public ::testing::Test {
 protected:
  static constexpr std::size_t kTagHeader = 4 * 512;
  TempDir dir_;
  std::filesystem::path mdx_ = dir_ / "TABLA.MDX";
  std::string good_;

  void SetUp() override {
    std::vector<std::string> texts(10000);
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = std::to_string(i * 7919 % 10000);
    WriteMdx(mdx_, "TABLA", 4, 0x57, {CharacterKeys("CODIGO", 8, texts)});
    good_ = test::ReadBytes(mdx_);
    ASSERT_EQ(ReadMdxRecordOrder(mdx_, "CODIGO").size(), texts.size());
  }

  std::size_t RootOffset() const { return U32At(good_, kTagHeader) * std::size_t{512}; }
  std::size_t FirstChildOffset(std::size_t block) const { return U32At(good_, block + 8) * std::size_t{512}; }
};

TEST_F(DamagedMdx, EveryDamageIsAnErrorNamingTheFile) {
  const auto root = RootOffset();
  const auto inner = FirstChildOffset(root);
  const auto leaf = FirstChildOffset(inner);
  const auto lastPage = static_cast<std::uint32_t>(good_.size() / 512 - 1);
  const struct {
    const char* name;
    std::function<void(std::string&)> damage;
    const char* message;
  } cases[] = {
      {"empty file", [](std::string& b) { b.clear(); }, "too short for a production index"},
      {"cut inside the header", [](std::string& b) { b.resize(2047); }, "too short"},
      {"cut after the header", [](std::string& b) { b.resize(2048); }, "its header is page 4, beyond the end"},
      {"cut inside the tree", [](std::string& b) { b.resize(b.size() / 2); }, "beyond the end of the file"},
      {"not an index", [](std::string& b) { b[0] = static_cast<char>(0x8B); }, "version byte 0x8B"},
      {"block size of no pages", [](std::string& b) { b[20] = 0; }, "unsupported block size of 0 pages"},
      {"tag slots too small", [](std::string& b) { b[26] = 8; }, "slots of 8 bytes are too small"},
      {"more tags than slots", [](std::string& b) { b[28] = 48; }, "counts 48 tags"},
      {"tag count lying", [](std::string& b) { b[28] = 3; }, "has no name"},
      {"tag header in the file header", [](std::string& b) { PutU32At(b, 544, 1); }, "inside the file header"},
      {"tag header past the end", [](std::string& b) { PutU32At(b, 544, 0x7FFFFFFF); }, "beyond the end"},
      {"root past the end", [&](std::string& b) { PutU32At(b, kTagHeader, lastPage); }, "its root is page"},
      {"keys wider than entries", [](std::string& b) { b[kTagHeader + 12] = 20; }, "do not fit entries"},
      {"more keys per block than fit", [](std::string& b) { b[kTagHeader + 14] = 100; }, "do not fit a block"},
      {"child past the end", [&](std::string& b) { PutU32At(b, root + 8, 0xFFFFFFFF); }, "beyond the end"},
      {"child in the file header", [&](std::string& b) { PutU32At(b, inner + 8, 0); }, "inside the file header"},
      {"cycle back to the root", [&](std::string& b) { PutU32At(b, inner + 8, U32At(b, kTagHeader)); },
       "reached twice"},
      {"two parents share a child", [&](std::string& b) { PutU32At(b, inner + 8 + 12, U32At(b, inner + 8)); },
       "reached twice"},
      {"leaf counting more entries than fit", [&](std::string& b) { PutU32At(b, leaf, 0xFFFFFFF0); },
       "more than the 84 a block holds"},
      {"leaf with record 0", [&](std::string& b) { PutU32At(b, leaf + 8, 0); }, "names record 0"},
      {"a leaf where an inner block should be", [&](std::string& b) { PutU32At(b, root + 8, U32At(b, inner + 8)); },
       "not as deep as the others"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string bytes = good_;
    c.damage(bytes);
    test::WriteBytes(mdx_, bytes);
    const std::string message = test::MessageOf([&] {
      ReadMdxTags(mdx_);
      ReadMdxRecordOrder(mdx_, "CODIGO");
    });
    EXPECT_EQ(message.rfind(mdx_.u8string() + ": ", 0), 0u) << message;
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
  }
}

TEST_F(DamagedMdx, MissingTagOrFileIsAnError) {
  EXPECT_NE(test::MessageOf([&] { ReadMdxRecordOrder(mdx_, "NOMBRE"); }).find("no index tag NOMBRE"), std::string::npos);
  const auto missing = dir_ / "OTRA.MDX";
  EXPECT_NE(test::MessageOf([&] { ReadMdxTags(missing); }).find(missing.string()), std::string::npos);
}

}  // namespace
}  // namespace ludaro::dbf
