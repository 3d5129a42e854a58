// Reading a production index written by any program, which means trusting
// none of it: every page number is checked against the file's size before it
// is read, every entry count against the block that holds it, and a walk
// through a tree visits each block at most once.

#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

#include "common/dbf/mdx_file.h"
#include "common/dbf/mdx_layout.h"
#include "common/error.h"
#include "common/platform/platform.h"

namespace ludaro::dbf {
namespace {

using namespace mdx;

constexpr std::uint32_t kMaxPagesPerBlock = 64;

struct TagInfo {
  MdxTag tag;
  std::uint32_t rootPage = 0;
  std::size_t entrySize = 0;
  std::size_t keysPerBlock = 0;
};

std::string Hex(unsigned value) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

// Text up to its first NUL, without trailing blanks.
std::string TextField(std::string_view bytes) {
  bytes = bytes.substr(0, std::min(bytes.size(), bytes.find('\0')));
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  return std::string(bytes);
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

class MdxReader {
 public:
  explicit MdxReader(const std::filesystem::path& path)
      : path_(path),
        file_(platform::File::Open(path, platform::Access::ReadOnly, platform::Share::ReadWrite)),
        size_(file_.Size()) {
    ReadHeader();
  }

  const std::vector<TagInfo>& Tags() const { return tags_; }

  std::vector<std::uint32_t> RecordOrder(std::string_view tagName) {
    const auto tag = std::find_if(tags_.begin(), tags_.end(), [&](const TagInfo& t) { return SameName(t.tag.name, tagName); });
    if (tag == tags_.end()) Fail("there is no index tag " + std::string(tagName));
    return Walk(*tag);
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { throw Error(path_.u8string() + ": " + what, path_.u8string()); }

  std::string Read(std::uint64_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    if (file_.ReadAt(offset, bytes.data(), size) != size) Fail("the file ends inside the data it describes");
    return bytes;
  }

  // A page where a block of `bytes` can start: past the file header and
  // with the whole block inside the file.
  void CheckPage(std::uint64_t page, std::uint64_t bytes, const std::string& what) const {
    if (page < kHeaderPages) Fail(what + " is page " + std::to_string(page) + ", inside the file header");
    if (page * kPageSize + bytes > size_)
      Fail(what + " is page " + std::to_string(page) + ", beyond the end of the file (" + std::to_string(size_) +
           " bytes)");
  }

  void ReadHeader() {
    if (size_ < kHeaderSize)
      Fail("too short for a production index (" + std::to_string(size_) + " bytes, the header alone has " +
           std::to_string(kHeaderSize) + ")");
    const std::string header = Read(0, kHeaderSize);

    const auto version = static_cast<std::uint8_t>(header[kFileVersion]);
    if (version != kVersionDbase4 && version != kVersionDbase7)
      Fail("not a dBase IV or dBase 7 production index (version byte " + Hex(version) + ")");
    const TagSlotLayout& layout = version == kVersionDbase7 ? kSlotDbase7 : kSlotDbase4;

    const std::uint32_t pagesPerBlock = GetU16(header, kFilePagesPerBlock);
    if (pagesPerBlock < 1 || pagesPerBlock > kMaxPagesPerBlock)
      Fail("unsupported block size of " + std::to_string(pagesPerBlock) + " pages");
    blockSize_ = pagesPerBlock * kPageSize;

    // The dBase IV fields of a slot must fit; dBase 7 slots written 32 bytes
    // apart (as some programs do) lose only what this reader does not use.
    const std::size_t slotSize = static_cast<std::uint8_t>(header[kFileTagSlotSize]);
    if (slotSize <= kSlotDbase4.keyType)
      Fail("tag table slots of " + std::to_string(slotSize) + " bytes are too small");
    const std::size_t tagCount = GetU16(header, kFileTagsInUse);
    const std::size_t capacity = (kHeaderSize - kTagTableStart) / slotSize - 1;
    if (tagCount > capacity)
      Fail("the header counts " + std::to_string(tagCount) + " tags, but the tag table holds at most " +
           std::to_string(capacity));

    const std::size_t nameSize = std::min(layout.nameSize, slotSize - kSlotName);
    for (std::size_t i = 0; i < tagCount; ++i) {
      const std::string_view slot = std::string_view(header).substr(kTagTableStart + (i + 1) * slotSize, slotSize);
      tags_.push_back(ReadTag(i, GetU32(slot, kSlotHeaderPage), TextField(slot.substr(kSlotName, nameSize))));
    }
  }

  TagInfo ReadTag(std::size_t index, std::uint32_t headerPage, std::string name) {
    if (name.empty()) Fail("tag " + std::to_string(index + 1) + " of the tag table has no name");
    const std::string where = "tag " + name + ": ";
    CheckPage(headerPage, kTagHeaderBytesRead, where + "its header");
    const std::string header = Read(headerPage * kPageSize, kTagHeaderBytesRead);

    TagInfo info;
    info.tag.name = std::move(name);
    info.tag.expression = TextField(std::string_view(header).substr(kTagExpression, kTagExpressionSize));
    info.tag.keyType = header[kTagKeyType];
    info.tag.keyLength = GetU16(header, kTagKeyLength);
    const auto format = static_cast<std::uint8_t>(header[kTagKeyFormat]);
    info.tag.descending = (format & kKeyFormatDescending) != 0;
    info.tag.unique = (format & (kKeyFormatUnique | kKeyFormatDistinct)) != 0 || header[kTagUnique] != 0;
    info.tag.hasFilter = header[kTagHasFilter] != 0;

    info.entrySize = GetU16(header, kTagEntrySize);
    info.keysPerBlock = GetU16(header, kTagKeysPerPage);
    if (info.tag.keyLength < 1 || info.entrySize < kEntryPointerSize + static_cast<std::size_t>(info.tag.keyLength))
      Fail(where + "keys of " + std::to_string(info.tag.keyLength) + " bytes do not fit entries of " +
           std::to_string(info.entrySize) + " bytes");
    if (info.keysPerBlock < 1 || kBlockEntries + info.keysPerBlock * info.entrySize > blockSize_)
      Fail(where + std::to_string(info.keysPerBlock) + " entries of " + std::to_string(info.entrySize) +
           " bytes do not fit a block of " + std::to_string(blockSize_) + " bytes");

    info.rootPage = GetU32(header, kTagRootPage);
    CheckPage(info.rootPage, blockSize_, where + "its root");
    return info;
  }

  // Depth first, left to right, with an explicit stack: a hostile file may
  // be a long chain of blocks, which must not become deep recursion.
  std::vector<std::uint32_t> Walk(const TagInfo& tag) {
    const std::string where = "tag " + tag.tag.name + ": ";
    struct Visit {
      std::vector<std::uint32_t> children;
      std::size_t next = 0;
    };
    std::vector<bool> visited(static_cast<std::size_t>(size_ / kPageSize), false);
    std::vector<std::uint32_t> records;
    std::vector<Visit> path;
    std::optional<std::size_t> leafDepth;
    std::string block;

    std::uint32_t page = tag.rootPage;
    for (;;) {
      CheckPage(page, blockSize_, where + "a block");
      if (visited[page]) Fail(where + "page " + std::to_string(page) + " is reached twice: the tree has a cycle");
      visited[page] = true;
      block = Read(page * kPageSize, static_cast<std::size_t>(blockSize_));  // a few pages at most, checked above

      const std::uint64_t count = GetU32(block, kBlockEntryCount);
      const std::uint64_t pointerSlot = kBlockEntries + count * tag.entrySize;
      const bool inner = count < tag.keysPerBlock && pointerSlot + kEntryPointerSize <= blockSize_ &&
                         GetU32(block, static_cast<std::size_t>(pointerSlot)) != 0;
      if (inner) {
        Visit visit;
        for (std::size_t i = 0; i <= count; ++i) visit.children.push_back(GetU32(block, kBlockEntries + i * tag.entrySize));
        path.push_back(std::move(visit));
      } else {
        if (count > tag.keysPerBlock)
          Fail(where + "the block at page " + std::to_string(page) + " counts " + std::to_string(count) +
               " entries, more than the " + std::to_string(tag.keysPerBlock) + " a block holds");
        if (leafDepth && *leafDepth != path.size())
          Fail(where + "the leaf at page " + std::to_string(page) + " is not as deep as the others");
        leafDepth = path.size();
        for (std::size_t i = 0; i < count; ++i) {
          const std::uint32_t record = GetU32(block, kBlockEntries + i * tag.entrySize);
          if (record == 0) Fail(where + "the leaf at page " + std::to_string(page) + " names record 0");
          records.push_back(record);
        }
      }

      while (!path.empty() && path.back().next == path.back().children.size()) path.pop_back();
      if (path.empty()) return records;
      page = path.back().children[path.back().next++];
    }
  }

  std::filesystem::path path_;
  platform::File file_;
  std::uint64_t size_;
  std::uint64_t blockSize_ = 0;
  std::vector<TagInfo> tags_;
};

}  // namespace

std::vector<MdxTag> ReadMdxTags(const std::filesystem::path& mdxPath) {
  MdxReader reader(mdxPath);
  std::vector<MdxTag> tags;
  for (const auto& info : reader.Tags()) tags.push_back(info.tag);
  return tags;
}

std::vector<std::uint32_t> ReadMdxRecordOrder(const std::filesystem::path& mdxPath, std::string_view tagName) {
  MdxReader reader(mdxPath);
  return reader.RecordOrder(tagName);
}

}  // namespace ludaro::dbf
