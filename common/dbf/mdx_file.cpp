// Writing a production index: every tag's keys sorted once, then its B-tree
// built bottom-up from the sorted run (leaves first, then each level of
// inner blocks over the one below, the root last). Where every block goes
// is known before the first byte is written, so the file is written front
// to back in one pass and the time is that of the sort.

#include "common/dbf/mdx_file.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <limits>
#include <system_error>
#include <utility>

#include "common/dbf/mdx_layout.h"
#include "common/dbf/mdx_numeric_key.h"
#include "common/error.h"
#include "common/platform/platform.h"

namespace ludaro::dbf {
namespace {

using namespace mdx;

constexpr std::uint32_t kBlockPages = 2;
constexpr std::size_t kBlockSize = kBlockPages * kPageSize;
constexpr std::size_t kWriteBuffer = 1 << 20;

struct FileFormat {
  std::uint8_t version;
  TagSlotLayout slot;
  std::size_t maxNameLength;
  std::size_t maxTags;  // slot 0 is not a tag
};

FileFormat FormatFor(int dbfLevel) {
  const auto make = [](std::uint8_t version, TagSlotLayout slot) {
    return FileFormat{version, slot, slot.nameSize - 1, (kHeaderSize - kTagTableStart) / slot.size - 1};
  };
  return dbfLevel == 7 ? make(kVersionDbase7, kSlotDbase7) : make(kVersionDbase4, kSlotDbase4);
}

[[noreturn]] void Fail(const std::filesystem::path& file, const std::string& what) {
  throw Error(file.u8string() + ": " + what, file.u8string());
}

// Sorting moves these small items, not the keys: the first eight key bytes
// (big-endian, so integer order is byte order) decide most comparisons.
struct SortItem {
  std::uint64_t prefix;
  std::uint32_t slot;  // where the whole key is in the buffer of keys as given
  std::uint32_t record;
};

// One tag's keys, each `keyLength` bytes in the order they were given, and
// the order of the tree over them.
struct SortedTag {
  const MdxTag* tag = nullptr;
  std::size_t keyLength = 0;
  std::size_t entrySize = 0;
  std::size_t keysPerBlock = 0;
  std::string keys;
  std::vector<SortItem> order;
  std::vector<std::size_t> blocksPerLevel;  // [0] leaves, last the root
  std::uint32_t headerPage = 0;

  std::size_t Count() const { return order.size(); }
  std::string_view Key(std::size_t i) const {
    return std::string_view(keys).substr(std::size_t{order[i].slot} * keyLength, keyLength);
  }
  std::uint32_t Record(std::size_t i) const { return order[i].record; }
  std::size_t TreeBlocks() const {
    std::size_t total = 0;
    for (auto blocks : blocksPerLevel) total += blocks;
    return total;
  }
  std::uint64_t Pages() const { return kBlockPages * (1 + std::uint64_t{TreeBlocks()}); }
  std::uint32_t FirstTreePage() const { return headerPage + kBlockPages; }
  std::uint32_t RootPage() const { return FirstTreePage() + static_cast<std::uint32_t>(kBlockPages * (TreeBlocks() - 1)); }
};

std::uint64_t BigEndianPrefix(const char* key, std::size_t length) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i)
    prefix = prefix << 8 | (i < length ? static_cast<unsigned char>(key[i]) : 0u);
  return prefix;
}

// An integer whose order is the numeric order of finite doubles.
std::uint64_t OrderedBits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits >> 63 ? ~bits : bits | (std::uint64_t{1} << 63);
}

std::string TagContext(const MdxTag& tag) { return "tag " + tag.name + ": "; }

void CheckTag(const std::filesystem::path& file, const FileFormat& format, const MdxTag& tag) {
  const std::string where = TagContext(tag);
  if (tag.name.empty() || tag.name.size() > format.maxNameLength || tag.name.find('\0') != std::string::npos)
    Fail(file, "tag name '" + tag.name + "' must have 1 to " + std::to_string(format.maxNameLength) + " characters");
  if (tag.expression.empty() || tag.expression.size() >= kTagExpressionSize ||
      tag.expression.find('\0') != std::string::npos)
    Fail(file, where + "the key expression must have 1 to " + std::to_string(kTagExpressionSize - 1) + " characters");
  if (tag.descending || tag.unique || tag.hasFilter)
    Fail(file, where + "only ascending tags without UNIQUE or FOR can be written");
  if (tag.keyType == 'C') {
    if (tag.keyLength < 1 || static_cast<std::size_t>(tag.keyLength) > kMaxCharacterKeyLength)
      Fail(file, where + "a character key must have 1 to " + std::to_string(kMaxCharacterKeyLength) + " bytes");
  } else if (tag.keyType == 'N') {
    if (static_cast<std::size_t>(tag.keyLength) != kNumericKeyLength)
      Fail(file, where + "a numeric key has " + std::to_string(kNumericKeyLength) + " bytes");
  } else {
    Fail(file, where + "key type '" + std::string(1, tag.keyType) + "' cannot be written (only C and N)");
  }
}

SortedTag SortTag(const std::filesystem::path& file, const MdxTagKeys& source) {
  const MdxTag& tag = source.tag;
  const std::string where = TagContext(tag);

  SortedTag sorted;
  sorted.tag = &tag;
  sorted.keyLength = static_cast<std::size_t>(tag.keyLength);
  sorted.entrySize = EntrySizeFor(sorted.keyLength);
  sorted.keysPerBlock = (kBlockSize - kBlockEntries) / sorted.entrySize;

  const std::size_t length = sorted.keyLength;
  sorted.keys.reserve(source.expected * length);
  sorted.order.reserve(source.expected);
  source.keys([&](const MdxKey& key) {
    if (sorted.order.size() == std::numeric_limits<std::uint32_t>::max()) Fail(file, where + "too many keys");
    if (key.recordNumber == 0) Fail(file, where + "record number 0 (records count from 1)");
    const std::size_t at = sorted.keys.size();
    sorted.keys.resize(at + length, ' ');
    char* slot = &sorted.keys[at];
    std::uint64_t prefix;
    if (tag.keyType == 'C') {
      if (key.text.size() > length)
        Fail(file, where + "the key of record " + std::to_string(key.recordNumber) + " is longer than " +
                       std::to_string(length) + " bytes");
      std::memcpy(slot, key.text.data(), key.text.size());
      prefix = BigEndianPrefix(slot, length);
    } else {
      const auto numeric = EncodeNumericKey(key.number);
      if (!numeric)
        Fail(file, where + "the number of record " + std::to_string(key.recordNumber) + " cannot be a key");
      std::memcpy(slot, numeric->bytes.data(), length);
      prefix = OrderedBits(numeric->value);
    }
    sorted.order.push_back({prefix, static_cast<std::uint32_t>(sorted.order.size()), key.recordNumber});
  });

  // A numeric key is decided by its prefix alone; a character key longer
  // than the prefix needs its remaining bytes compared on a tie.
  const std::size_t rest = tag.keyType == 'C' && length > 8 ? length - 8 : 0;
  const char* base = sorted.keys.data();
  std::sort(sorted.order.begin(), sorted.order.end(), [&](const SortItem& a, const SortItem& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    if (rest) {
      const int order = std::memcmp(base + std::size_t{a.slot} * length + 8, base + std::size_t{b.slot} * length + 8, rest);
      if (order != 0) return order < 0;
    }
    return a.record < b.record;
  });
  const std::size_t count = sorted.Count();

  // Leaves hold up to keysPerBlock keys, inner blocks up to keysPerBlock
  // children; an empty tag is one empty leaf.
  std::size_t blocks = std::max<std::size_t>(1, (count + sorted.keysPerBlock - 1) / sorted.keysPerBlock);
  sorted.blocksPerLevel.push_back(blocks);
  while (blocks > 1) {
    blocks = (blocks + sorted.keysPerBlock - 1) / sorted.keysPerBlock;
    sorted.blocksPerLevel.push_back(blocks);
  }
  return sorted;
}

// The share of `total` items that block `index` of `blocks` gets: as even as
// can be, so no inner block is left with a single child.
std::size_t ShareOf(std::size_t total, std::size_t blocks, std::size_t index) {
  return total / blocks + (index < total % blocks ? 1 : 0);
}

// Appends to a file through a buffer; the offsets are the file's own.
class Output {
 public:
  explicit Output(platform::File& file) : file_(file) { buffer_.reserve(kWriteBuffer); }

  char* Append(std::size_t size) {
    if (buffer_.size() + size > kWriteBuffer) Flush();
    buffer_.resize(buffer_.size() + size, '\0');
    return &buffer_[buffer_.size() - size];
  }

  void Flush() {
    file_.WriteAt(written_, buffer_.data(), buffer_.size());
    written_ += buffer_.size();
    buffer_.clear();
  }

 private:
  platform::File& file_;
  std::string buffer_;
  std::uint64_t written_ = 0;
};

void PutDate(char* at, const std::tm& date) {
  at[0] = static_cast<char>(date.tm_year);  // years since 1900
  at[1] = static_cast<char>(date.tm_mon + 1);
  at[2] = static_cast<char>(date.tm_mday);
}

std::tm Today() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  return local ? *local : std::tm{};
}

// dBase IV keeps its tag table threaded as a binary search tree on the tag
// names: for each tag the tag numbers (from 1) of its smaller and greater
// children and of its parent, tags inserted in table order.
struct Threads {
  std::uint8_t less = 0, greater = 0, parent = 0;
};

std::vector<Threads> ThreadTags(const std::vector<SortedTag>& tags) {
  std::vector<Threads> threads(tags.size());
  for (std::size_t i = 1; i < tags.size(); ++i) {
    std::size_t node = 0;
    for (;;) {
      std::uint8_t& child = tags[i].tag->name < tags[node].tag->name ? threads[node].less : threads[node].greater;
      if (child == 0) {
        child = static_cast<std::uint8_t>(i + 1);
        threads[i].parent = static_cast<std::uint8_t>(node + 1);
        break;
      }
      node = child - 1u;
    }
  }
  return threads;
}

void WriteFileHeader(Output& out, const FileFormat& format, std::string_view tableStem, std::uint8_t languageDriver,
                     const std::vector<SortedTag>& tags, std::uint32_t pageCount) {
  char* header = out.Append(kHeaderSize);
  const std::tm today = Today();
  header[kFileVersion] = static_cast<char>(format.version);
  PutDate(header + kFileCreated, today);
  std::memcpy(header + kFileTableName, tableStem.data(), std::min(tableStem.size(), kFileTableNameSize - 1));
  PutU16(header + kFilePagesPerBlock, kBlockPages);
  PutU16(header + kFileBytesPerBlock, static_cast<std::uint16_t>(kBlockSize));
  header[kFileProductionFlag] = 1;
  header[kFileTagSlots] = static_cast<char>(format.maxTags + 1);
  header[kFileTagSlotSize] = static_cast<char>(format.slot.size);
  PutU16(header + kFileTagsInUse, static_cast<std::uint16_t>(tags.size()));
  header[kFileLanguageDriver] = static_cast<char>(languageDriver);
  PutU32(header + kFilePageCount, pageCount);
  PutDate(header + kFileUpdated, today);
  header[kFileTagTableFlag] = 1;

  const auto threads = ThreadTags(tags);
  for (std::size_t i = 0; i < tags.size(); ++i) {
    char* slot = header + kTagTableStart + (i + 1) * format.slot.size;
    const MdxTag& tag = *tags[i].tag;
    PutU32(slot + kSlotHeaderPage, tags[i].headerPage);
    std::memcpy(slot + kSlotName, tag.name.data(), tag.name.size());
    slot[format.slot.keyFormat] = static_cast<char>(kSlotKeyFormatField);
    slot[format.slot.threadLess] = static_cast<char>(threads[i].less);
    slot[format.slot.threadGreater] = static_cast<char>(threads[i].greater);
    slot[format.slot.threadParent] = static_cast<char>(threads[i].parent);
    slot[format.slot.reserved] = static_cast<char>(kSlotReservedValue);
    slot[format.slot.keyType] = tag.keyType;
  }
}

void WriteTagHeader(Output& out, const SortedTag& sorted) {
  const MdxTag& tag = *sorted.tag;
  char* header = out.Append(kBlockSize);
  PutU32(header + kTagRootPage, sorted.RootPage());
  PutU32(header + kTagPageCount, static_cast<std::uint32_t>(sorted.Pages()));
  header[kTagKeyFormat] = static_cast<char>(tag.keyType == 'C' ? kKeyFormatString : 0);
  header[kTagKeyType] = tag.keyType;
  PutU16(header + kTagKeyLength, static_cast<std::uint16_t>(sorted.keyLength));
  PutU16(header + kTagKeysPerPage, static_cast<std::uint16_t>(sorted.keysPerBlock));
  PutU16(header + kTagEntrySize, static_cast<std::uint16_t>(sorted.entrySize));
  PutU16(header + kTagVersion, kTagVersionValue);
  std::memcpy(header + kTagExpression, tag.expression.data(), tag.expression.size());
  header[kTagHasExpression] = 1;
}

void PutEntry(char* block, const SortedTag& sorted, std::size_t slot, std::uint32_t pointer, std::string_view key) {
  char* entry = block + kBlockEntries + slot * sorted.entrySize;
  PutU32(entry, pointer);
  std::memcpy(entry + kEntryPointerSize, key.data(), key.size());
}

// Writes the tree; each block is told the page of its first child.
void WriteTree(Output& out, const SortedTag& sorted) {
  struct Child {
    std::uint32_t page;
    std::string_view lastKey;
  };
  std::vector<Child> level;
  std::uint32_t page = sorted.FirstTreePage();

  const std::size_t leaves = sorted.blocksPerLevel.front();
  std::size_t next = 0;
  for (std::size_t leaf = 0; leaf < leaves; ++leaf, page += kBlockPages) {
    const std::size_t count = ShareOf(sorted.Count(), leaves, leaf);
    char* block = out.Append(kBlockSize);
    PutU32(block + kBlockEntryCount, static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i, ++next) PutEntry(block, sorted, i, sorted.Record(next), sorted.Key(next));
    level.push_back({page, count ? sorted.Key(next - 1) : std::string_view()});
  }

  for (std::size_t height = 1; height < sorted.blocksPerLevel.size(); ++height) {
    const std::size_t blocks = sorted.blocksPerLevel[height];
    std::vector<Child> above;
    std::size_t first = 0;
    for (std::size_t b = 0; b < blocks; ++b, page += kBlockPages) {
      const std::size_t children = ShareOf(level.size(), blocks, b);
      char* block = out.Append(kBlockSize);
      // n keys and n + 1 children: the last child's pointer stands alone
      // after the keys (its key is written too; readers do not look at it).
      PutU32(block + kBlockEntryCount, static_cast<std::uint32_t>(children - 1));
      for (std::size_t c = 0; c < children; ++c)
        PutEntry(block, sorted, c, level[first + c].page, level[first + c].lastKey);
      above.push_back({page, level[first + children - 1].lastKey});
      first += children;
    }
    level = std::move(above);
  }
}

}  // namespace

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::filesystem::path temporary = target;
  temporary.replace_filename("." + target.filename().u8string() + ".new");
  return temporary;
}

namespace {

// Each tag's gathered keys handed over one at a time, let go of once sorted.
std::vector<MdxTagKeys> HandedOver(std::vector<MdxTagData>& tags) {
  std::vector<MdxTagKeys> handed;
  for (auto& data : tags)
    handed.push_back({data.tag, data.keys.size(), [&data](const MdxTagKeys::Add& add) {
                        for (const MdxKey& key : data.keys) add(key);
                        data.keys = {};
                      }});
  return handed;
}

}  // namespace

void WriteMdx(const std::filesystem::path& mdxPath, std::string_view tableStem, int dbfLevel,
              std::uint8_t languageDriver, std::vector<MdxTagData> tags) {
  WriteMdx(mdxPath, tableStem, dbfLevel, languageDriver, HandedOver(tags));
}

void WriteMdxAside(const std::filesystem::path& temporary, const std::filesystem::path& mdxPath,
                   std::string_view tableStem, int dbfLevel, std::uint8_t languageDriver,
                   std::vector<MdxTagData> tags) {
  WriteMdxAside(temporary, mdxPath, tableStem, dbfLevel, languageDriver, HandedOver(tags));
}

void WriteMdx(const std::filesystem::path& mdxPath, std::string_view tableStem, int dbfLevel,
              std::uint8_t languageDriver, std::vector<MdxTagKeys> tags) {
  const auto temporary = TemporaryBeside(mdxPath);
  WriteMdxAside(temporary, mdxPath, tableStem, dbfLevel, languageDriver, std::move(tags));
  try {
    platform::ReplaceFile(temporary, mdxPath);
  } catch (const std::exception& error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    Fail(mdxPath, std::string("cannot write the index: ") + error.what());
  }
}

void WriteMdxAside(const std::filesystem::path& temporary, const std::filesystem::path& mdxPath,
                   std::string_view tableStem, int dbfLevel, std::uint8_t languageDriver,
                   std::vector<MdxTagKeys> tags) {
  if (dbfLevel != 4 && dbfLevel != 7)
    Fail(mdxPath, "a production index belongs to a dBase IV or dBase 7 table, not level " + std::to_string(dbfLevel));
  const FileFormat format = FormatFor(dbfLevel);
  if (tags.size() > format.maxTags)
    Fail(mdxPath, std::to_string(tags.size()) + " tags; a production index holds at most " +
                      std::to_string(format.maxTags));
  for (std::size_t i = 0; i < tags.size(); ++i) {
    CheckTag(mdxPath, format, tags[i].tag);
    for (std::size_t j = 0; j < i; ++j)
      if (tags[j].tag.name == tags[i].tag.name) Fail(mdxPath, "two tags are named " + tags[i].tag.name);
  }

  std::vector<SortedTag> sorted;
  sorted.reserve(tags.size());
  std::uint64_t pages = kHeaderPages;
  for (const auto& source : tags) {
    sorted.push_back(SortTag(mdxPath, source));
    sorted.back().headerPage = static_cast<std::uint32_t>(pages);
    pages += sorted.back().Pages();
    if (pages > std::numeric_limits<std::uint32_t>::max()) Fail(mdxPath, "too many keys for one index file");
  }

  try {
    {
      auto file = platform::File::Open(temporary, platform::Access::ReadWrite, platform::Share::None,
                                       platform::Disposition::CreateAlways);
      Output out(file);
      WriteFileHeader(out, format, tableStem, languageDriver, sorted, static_cast<std::uint32_t>(pages));
      for (const auto& tag : sorted) {
        WriteTagHeader(out, tag);
        WriteTree(out, tag);
      }
      out.Flush();
      file.Flush();
    }
  } catch (const std::exception& error) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    Fail(mdxPath, std::string("cannot write the index: ") + error.what());
  }
}

}  // namespace ludaro::dbf
