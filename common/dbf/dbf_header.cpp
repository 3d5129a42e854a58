#include "common/dbf/dbf_header.h"

#include <algorithm>
#include <ctime>

#include "common/error.h"

namespace ludaro::dbf {
namespace {

std::uint16_t ReadU16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::uint32_t ReadU32(std::string_view bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

void WriteU16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

void WriteU32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Level from the version byte: the low three bits tell the family.
int LevelOfVersion(std::uint8_t version, bool productionIndex) {
  switch (version) {
    case 0x04:
    case 0x8C:
      return 7;
    case 0x7B:  // dBase IV with memo and SQL table
    case 0x8B:  // dBase IV with memo
    case 0xCB:  // dBase IV SQL table with memo
      return 4;
    case 0x02:  // FoxBASE
    case 0x03:
    case 0x83:  // dBase III with memo
    case 0x30:  // Visual FoxPro
    case 0x31:
    case 0x32:
    case 0xF5:  // FoxPro with memo
    case 0xFB:
      return productionIndex ? 4 : 3;
    default:
      return 0;
  }
}

std::string NameFromBytes(std::string_view raw) {
  const auto end = raw.find('\0');
  std::string name(raw.substr(0, end));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

std::string Hex(unsigned value) {
  const char* digits = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

}  // namespace

DbfHeader ParseDbfHeader(std::string_view bytes, std::uint64_t fileSize, const std::string& fileName) {
  auto fail = [&](const std::string& what) { return Error(fileName + ": damaged table: " + what, fileName); };

  if (fileSize < kFixedHeaderSize || bytes.size() < kFixedHeaderSize)
    throw fail("the file is shorter than a table header (" + std::to_string(fileSize) + " bytes)");

  DbfHeader header;
  header.version = static_cast<std::uint8_t>(bytes[0]);
  header.productionIndex = (static_cast<std::uint8_t>(bytes[28]) & kProductionIndexFlag) != 0;
  header.level = LevelOfVersion(header.version, header.productionIndex);
  if (header.level == 0) throw fail("unknown version byte " + Hex(header.version) + ", not a dBase table");
  header.year = 1900 + static_cast<std::uint8_t>(bytes[1]);
  header.month = static_cast<std::uint8_t>(bytes[2]);
  header.day = static_cast<std::uint8_t>(bytes[3]);
  header.recordCount = ReadU32(bytes, kHeaderOffsetRecordCount);
  header.headerLength = ReadU16(bytes, 8);
  header.recordLength = ReadU16(bytes, 10);
  header.languageDriver = static_cast<std::uint8_t>(bytes[29]);

  const bool level7 = header.level == 7;
  const std::size_t descriptorsStart = kFixedHeaderSize + (level7 ? kLevel7LanguageBlockSize : 0);
  const std::size_t descriptorSize = level7 ? kDescriptorSizeLevel7 : kDescriptorSizeLevel4;

  if (header.headerLength < descriptorsStart + 1)
    throw fail("header length " + std::to_string(header.headerLength) + " is too small");
  if (header.headerLength > fileSize)
    throw fail("header length " + std::to_string(header.headerLength) + " exceeds the file size " +
               std::to_string(fileSize));
  if (bytes.size() < header.headerLength)
    throw fail("the header is cut short");
  if (header.recordLength < 1) throw fail("record length is 0");

  if (level7) {
    header.languageDriverName = NameFromBytes(bytes.substr(kFixedHeaderSize, 32));
  }

  std::size_t recordOffset = 1;
  for (std::size_t at = descriptorsStart;; at += descriptorSize) {
    if (at >= header.headerLength) break;  // a header without terminator ends at its length
    if (static_cast<std::uint8_t>(bytes[at]) == kDescriptorTerminator) break;
    if (at + descriptorSize > header.headerLength)
      throw fail("field descriptor " + std::to_string(header.fields.size() + 1) + " runs past the header");
    const std::string_view raw = bytes.substr(at, descriptorSize);
    FieldDescriptor field;
    if (level7) {
      field.name = NameFromBytes(raw.substr(0, 32));
      field.type = raw[32];
      field.width = static_cast<std::uint8_t>(raw[33]);
      field.decimals = static_cast<std::uint8_t>(raw[34]);
      field.indexed = raw[37] != 0;
    } else {
      field.name = NameFromBytes(raw.substr(0, 11));
      field.type = raw[11];
      field.width = static_cast<std::uint8_t>(raw[16]);
      field.decimals = static_cast<std::uint8_t>(raw[17]);
      field.indexed = raw[31] != 0;
    }
    if (field.name.empty()) throw fail("field " + std::to_string(header.fields.size() + 1) + " has no name");
    if (field.width == 0) throw fail("field " + field.name + " has width 0");
    field.offset = recordOffset;
    recordOffset += static_cast<std::size_t>(field.width);
    header.fields.push_back(std::move(field));
  }
  if (header.fields.empty()) throw fail("the table has no fields");
  if (recordOffset != header.recordLength)
    throw fail("record length " + std::to_string(header.recordLength) + " does not match the fields (1 + " +
               std::to_string(recordOffset - 1) + ")");

  const std::uint64_t needed =
      static_cast<std::uint64_t>(header.headerLength) +
      static_cast<std::uint64_t>(header.recordCount) * static_cast<std::uint64_t>(header.recordLength);
  if (needed > fileSize)
    throw fail("the header announces " + std::to_string(header.recordCount) + " rows but the file holds only " +
               std::to_string((fileSize - header.headerLength) / header.recordLength));
  return header;
}

DbfHeader MakeDbfHeader(std::vector<FieldDescriptor> fields, int level, std::uint8_t languageDriver,
                        std::string languageDriverName, bool productionIndex) {
  DbfHeader header;
  header.level = level;
  header.version = level == 7 ? kVersionDbase7 : kVersionDbase4;
  header.languageDriver = languageDriver;
  header.languageDriverName = level == 7 ? std::move(languageDriverName) : std::string();
  header.productionIndex = productionIndex;
  std::size_t offset = 1;
  for (auto& field : fields) {
    field.offset = offset;
    offset += static_cast<std::size_t>(field.width);
  }
  header.fields = std::move(fields);
  header.recordLength = static_cast<std::uint16_t>(offset);
  const std::size_t descriptorSize = level == 7 ? kDescriptorSizeLevel7 : kDescriptorSizeLevel4;
  const std::size_t start = kFixedHeaderSize + (level == 7 ? kLevel7LanguageBlockSize : 0);
  header.headerLength = static_cast<std::uint16_t>(start + descriptorSize * header.fields.size() + 1);
  StampToday(header);
  return header;
}

std::string SerializeDbfHeader(const DbfHeader& header) {
  std::string bytes(header.headerLength, '\0');
  bytes[0] = static_cast<char>(header.version);
  const std::string dateAndCount = SerializeDateAndCount(header);
  std::copy(dateAndCount.begin(), dateAndCount.end(), bytes.begin() + 1);
  WriteU16(bytes, 8, header.headerLength);
  WriteU16(bytes, 10, header.recordLength);
  bytes[28] = static_cast<char>(header.productionIndex ? kProductionIndexFlag : 0);
  bytes[29] = static_cast<char>(header.languageDriver);

  const bool level7 = header.level == 7;
  std::size_t at = kFixedHeaderSize;
  if (level7) {
    std::copy_n(header.languageDriverName.begin(), std::min<std::size_t>(header.languageDriverName.size(), 32),
                bytes.begin() + static_cast<std::ptrdiff_t>(at));
    at += kLevel7LanguageBlockSize;
  }
  for (const auto& field : header.fields) {
    const std::size_t nameRoom = level7 ? 32 : 11;
    std::copy_n(field.name.begin(), std::min(field.name.size(), nameRoom - 1),
                bytes.begin() + static_cast<std::ptrdiff_t>(at));
    if (level7) {
      bytes[at + 32] = field.type;
      bytes[at + 33] = static_cast<char>(field.width);
      bytes[at + 34] = static_cast<char>(field.decimals);
      bytes[at + 37] = field.indexed ? 1 : 0;
      at += kDescriptorSizeLevel7;
    } else {
      bytes[at + 11] = field.type;
      bytes[at + 16] = static_cast<char>(field.width);
      bytes[at + 17] = static_cast<char>(field.decimals);
      bytes[at + 31] = field.indexed ? 1 : 0;
      at += kDescriptorSizeLevel4;
    }
  }
  bytes[at] = static_cast<char>(kDescriptorTerminator);
  return bytes;
}

std::string SerializeDateAndCount(const DbfHeader& header) {
  std::string bytes(7, '\0');
  bytes[0] = static_cast<char>(std::clamp(header.year - 1900, 0, 255));
  bytes[1] = static_cast<char>(header.month);
  bytes[2] = static_cast<char>(header.day);
  WriteU32(bytes, 3, header.recordCount);
  return bytes;
}

void StampToday(DbfHeader& header) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  header.year = 1900 + local.tm_year;
  header.month = local.tm_mon + 1;
  header.day = local.tm_mday;
}

}  // namespace ludaro::dbf
