#pragma once

// Where things are in a production index (.MDX). Shared by the writer and the
// reader; nothing outside common/dbf/mdx_* needs it.
//
// The file is a sequence of 512-byte pages; every page number in it counts
// these. Trees and tag headers live in blocks of several pages (two, 1024
// bytes, unless the header says otherwise).
//
//   pages 0-3   file header (0..511) and tag table (512..2047)
//   then        for each tag its header block and the blocks of its B-tree
//
// File header:
//    0 version (2 dBase IV, 3 dBase 7)   1-3 created (YY since 1900, MM, DD)
//    4 table name, 16 bytes NUL-padded   20 pages per block (u16)
//   22 bytes per block (u16)             24 production flag
//   25 slots in the tag table            26 bytes per tag-table slot
//   28 tags in use (u16)                 31 language driver
//   32 pages in the file (u32)           36 first free page (u32)
//   40 free blocks (u32)                 44-46 updated (YY, MM, DD)
//  529 set to 1 by every writer we know of
//
// Tag table: slot 0 starts at 512 and is not a tag; tag i (0-based) is in slot
// i + 1. dBase IV slots are 32 bytes, dBase 7 slots are larger because a tag
// name may have 32 characters:
//                        dBase IV   dBase 7
//   tag header page (u32)    0         0
//   name, NUL-terminated     4 (11)    4 (33)
//   key format (0x10 field) 15        37
//   tree threads < > parent 16-18     38-40   (1-based tag numbers, 0 = none)
//   reserved, always 2      19        41
//   key type                20        42
//
// Tag header (first bytes of its block):
//    0 root page (u32)        4 pages of the tag (u32)   8 key format flags
//    9 key type              12 key length (u16)        14 keys per page (u16)
//   16 key subtype (u16)     18 bytes per entry (u16)   20 version (u16)
//   23 unique               24 key expression, 220 bytes NUL-terminated
//  245 has a FOR filter     246 key expression present
//
// Tree block: 0 entry count (u32), 4 unused here (u32), 8 entries. An entry
// is a u32 (record number in a leaf, child page in an inner block) followed
// by the key; entries are 4-byte aligned. A leaf holds up to "keys per page"
// entries and after them a zero u32. An inner block holds n keys, each the
// last key of its child, and one more child pointer in slot n for the keys
// above them, so it has at most "keys per page" children.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ludaro::dbf::mdx {

inline constexpr std::uint64_t kPageSize = 512;
inline constexpr std::uint32_t kHeaderPages = 4;
inline constexpr std::size_t kHeaderSize = kHeaderPages * kPageSize;
inline constexpr std::size_t kTagTableStart = 512;

inline constexpr std::uint8_t kVersionDbase4 = 2;
inline constexpr std::uint8_t kVersionDbase7 = 3;

// File header.
inline constexpr std::size_t kFileVersion = 0;
inline constexpr std::size_t kFileCreated = 1;
inline constexpr std::size_t kFileTableName = 4;
inline constexpr std::size_t kFileTableNameSize = 16;
inline constexpr std::size_t kFilePagesPerBlock = 20;
inline constexpr std::size_t kFileBytesPerBlock = 22;
inline constexpr std::size_t kFileProductionFlag = 24;
inline constexpr std::size_t kFileTagSlots = 25;
inline constexpr std::size_t kFileTagSlotSize = 26;
inline constexpr std::size_t kFileTagsInUse = 28;
inline constexpr std::size_t kFileLanguageDriver = 31;
inline constexpr std::size_t kFilePageCount = 32;
inline constexpr std::size_t kFileUpdated = 44;
inline constexpr std::size_t kFileTagTableFlag = 529;

// Tag-table slots.
struct TagSlotLayout {
  std::size_t size;
  std::size_t nameSize;  // with its terminating NUL
  std::size_t keyFormat;
  std::size_t threadLess;
  std::size_t threadGreater;
  std::size_t threadParent;
  std::size_t reserved;
  std::size_t keyType;
};
inline constexpr TagSlotLayout kSlotDbase4{32, 11, 15, 16, 17, 18, 19, 20};
inline constexpr TagSlotLayout kSlotDbase7{48, 33, 37, 38, 39, 40, 41, 42};
inline constexpr std::size_t kSlotHeaderPage = 0;
inline constexpr std::size_t kSlotName = 4;
inline constexpr std::uint8_t kSlotKeyFormatField = 0x10;
inline constexpr std::uint8_t kSlotReservedValue = 2;

// Tag header.
inline constexpr std::size_t kTagRootPage = 0;
inline constexpr std::size_t kTagPageCount = 4;
inline constexpr std::size_t kTagKeyFormat = 8;
inline constexpr std::size_t kTagKeyType = 9;
inline constexpr std::size_t kTagKeyLength = 12;
inline constexpr std::size_t kTagKeysPerPage = 14;
inline constexpr std::size_t kTagEntrySize = 18;
inline constexpr std::size_t kTagVersion = 20;
inline constexpr std::size_t kTagUnique = 23;
inline constexpr std::size_t kTagExpression = 24;
inline constexpr std::size_t kTagExpressionSize = 220;
inline constexpr std::size_t kTagHasFilter = 245;
inline constexpr std::size_t kTagHasExpression = 246;
inline constexpr std::size_t kTagHeaderBytesRead = 256;  // all the reader looks at
inline constexpr std::uint16_t kTagVersionValue = 2;

inline constexpr std::uint8_t kKeyFormatDescending = 0x08;
inline constexpr std::uint8_t kKeyFormatString = 0x10;
inline constexpr std::uint8_t kKeyFormatDistinct = 0x20;
inline constexpr std::uint8_t kKeyFormatUnique = 0x40;

// Tree blocks.
inline constexpr std::size_t kBlockEntryCount = 0;
inline constexpr std::size_t kBlockEntries = 8;
inline constexpr std::size_t kEntryPointerSize = 4;

inline constexpr std::size_t kNumericKeyLength = 12;
inline constexpr std::size_t kMaxCharacterKeyLength = 100;

// Bytes of one entry: pointer and key, rounded up to a multiple of 4.
constexpr std::size_t EntrySizeFor(std::size_t keyLength) {
  return (kEntryPointerSize + keyLength + 3) & ~std::size_t{3};
}

inline std::uint16_t GetU16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

inline std::uint32_t GetU32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

inline void PutU16(char* at, std::uint16_t value) {
  at[0] = static_cast<char>(value & 0xFF);
  at[1] = static_cast<char>(value >> 8);
}

inline void PutU32(char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace ludaro::dbf::mdx
