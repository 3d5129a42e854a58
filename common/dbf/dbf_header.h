#pragma once

// The header of a .DBF file: the fixed part, the field descriptors and the
// terminator, for dBase III/IV (32-byte descriptors) and dBase 7 (48-byte
// descriptors after a 36-byte language block). Parsing trusts nothing: every
// length is checked against the bytes present and the file's size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ludaro::dbf {

// Fixed header, both levels:
//   0  version byte        1-3 date of last update (YY since 1900, MM, DD)
//   4  record count (u32)  8 header length (u16)   10 record length (u16)
//  28  flags (0x01 = production .MDX)              29 language driver
// dBase 7 adds 32..63 the language driver name and 64..67 reserved.
inline constexpr std::size_t kFixedHeaderSize = 32;
inline constexpr std::size_t kLevel7LanguageBlockSize = 36;
inline constexpr std::size_t kDescriptorSizeLevel4 = 32;
inline constexpr std::size_t kDescriptorSizeLevel7 = 48;
inline constexpr std::size_t kMaxHeaderSize = 0xFFFF;
inline constexpr std::uint8_t kDescriptorTerminator = 0x0D;
inline constexpr std::uint8_t kEndOfFileMarker = 0x1A;
inline constexpr std::uint8_t kProductionIndexFlag = 0x01;
inline constexpr std::uint8_t kVersionDbase4 = 0x03;
inline constexpr std::uint8_t kVersionDbase7 = 0x04;
inline constexpr std::size_t kHeaderOffsetRecordCount = 4;
inline constexpr std::size_t kMaxFieldNameLevel4 = 10;
inline constexpr std::size_t kMaxFieldNameLevel7 = 31;

struct FieldDescriptor {
  std::string name;
  char type = 'C';
  int width = 0;
  int decimals = 0;
  std::size_t offset = 0;  // within the record; byte 0 is the deletion flag
  bool indexed = false;    // descriptor's production-index flag
};

struct DbfHeader {
  std::uint8_t version = kVersionDbase4;
  int level = 4;  // 3, 4 or 7
  int year = 0, month = 0, day = 0;
  std::uint32_t recordCount = 0;
  std::uint16_t headerLength = 0;
  std::uint16_t recordLength = 0;
  bool productionIndex = false;
  std::uint8_t languageDriver = 0;
  std::string languageDriverName;  // dBase 7 only
  std::vector<FieldDescriptor> fields;
};

// Parses `bytes` (the start of the file, at least the whole header if the
// file has one) of a file of `fileSize` bytes. Throws ludaro::Error with
// `fileName` and what is wrong: unknown version, header or record length that
// does not fit, descriptors past the header, record length other than 1 plus
// the sum of the widths, rows the file does not hold.
DbfHeader ParseDbfHeader(std::string_view bytes, std::uint64_t fileSize, const std::string& fileName);

// A new header for `fields` at the given level (4 or 7), with offsets,
// record length and header length computed.
DbfHeader MakeDbfHeader(std::vector<FieldDescriptor> fields, int level, std::uint8_t languageDriver,
                        std::string languageDriverName, bool productionIndex);

// The header's bytes, exactly headerLength long.
std::string SerializeDbfHeader(const DbfHeader& header);

// Bytes 1..7 (date and record count) as they stand for `header`; written
// after every appended row so the file is always whole.
std::string SerializeDateAndCount(const DbfHeader& header);

// Sets year/month/day to today.
void StampToday(DbfHeader& header);

}  // namespace ludaro::dbf
