#include "common/dbf/table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <utility>

#include "common/dbf/dbf_header.h"
#include "common/dbf/field_codec.h"
#include "common/dbf/language_driver.h"
#include "common/dbf/mdx_file.h"
#include "common/dbf/record_index.h"
#include "common/dbf/row_store.h"
#include "common/error.h"
#include "common/platform/platform.h"
#include "common/utf.h"

namespace ludaro::dbf {
namespace {

constexpr char kDeletedFlag = '*';
constexpr int kIntegerWidth = 11;
constexpr int kFloatWidth = 20;
constexpr int kFloatDecimals = 4;
constexpr int kMaxCharacterWidth = 254;
constexpr int kMaxNumericWidth = 20;
constexpr int kMaxCharacterKeyLength = 100;
constexpr int kNumericKeyLength = 12;
constexpr std::size_t kMaxTagNameLength = 10;
// Rows appended to a table held exclusively are written in batches of about
// this many bytes: one write of the rows and one of the header per batch
// instead of two per row.
constexpr std::size_t kAppendBatchBytes = std::size_t{1} << 20;

std::string Upper(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
         });
}

// The blanks of the "C" locale, without a call per character: every field
// name a step gives passes through here.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

bool IsNumericType(char type) { return type == 'N' || type == 'F'; }

// Binary order of these 8 bytes is the numeric order of the doubles.
std::string OrderedNumberKey(double value) {
  if (value == 0) value = 0;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  bits = (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
  std::string key(8, '\0');
  for (int i = 0; i < 8; ++i) key[static_cast<std::size_t>(i)] = static_cast<char>((bits >> (56 - 8 * i)) & 0xFF);
  return key;
}

std::string StripTrailingBlanks(std::string_view bytes) {
  while (!bytes.empty() && (bytes.back() == ' ' || bytes.back() == '\0')) bytes.remove_suffix(1);
  return std::string(bytes);
}

std::string Describe(const FieldValue& value) {
  struct Visitor {
    std::string operator()(std::monostate) const { return "(empty)"; }
    std::string operator()(const std::u16string& text) const { return "'" + U16ToUtf8(text) + "'"; }
    std::string operator()(std::int64_t number) const { return std::to_string(number); }
    std::string operator()(double number) const { return ShortestDecimal(number); }
    std::string operator()(bool flag) const { return flag ? "true" : "false"; }
  };
  return std::visit(Visitor{}, value);
}

[[noreturn]] void ThrowOpenError(const platform::OpenError& error, const std::filesystem::path& path) {
  switch (error.failure().kind) {
    case platform::OpenFailure::Kind::NotFound:
      throw Error("Table does not exist: " + path.string(), path.string());
    case platform::OpenFailure::Kind::InUse:
      throw Error("Table is in use by another program or handle: " + path.string(), path.string());
    case platform::OpenFailure::Kind::AccessDenied:
      throw Error("Access to the table is denied: " + path.string(), path.string());
    case platform::OpenFailure::Kind::Other:
      break;
  }
  throw error;
}

platform::File OpenFile(const std::filesystem::path& path, platform::Share share,
                               platform::Disposition disposition,
                               platform::Access access = platform::Access::ReadWrite) {
  try {
    return platform::File::Open(path, access, share, disposition);
  } catch (const platform::OpenError& error) {
    ThrowOpenError(error, path);
  }
}

}  // namespace

FieldDef FieldDef::Text(std::string name, int width) { return {std::move(name), FieldType::Character, width, 0}; }
FieldDef FieldDef::Integer(std::string name) { return {std::move(name), FieldType::Numeric, kIntegerWidth, 0}; }
FieldDef FieldDef::Float(std::string name) {
  return {std::move(name), FieldType::Float, kFloatWidth, kFloatDecimals};
}
FieldDef FieldDef::Logical(std::string name) { return {std::move(name), FieldType::Logical, 1, 0}; }

class Table::Impl {
 public:
  Impl(std::filesystem::path folder, std::string name) : folder_(std::move(folder)) {
    std::string stem = std::move(name);
    if (stem.size() >= 4 && EqualsIgnoringCase(std::string_view(stem).substr(stem.size() - 4), ".DBF"))
      stem.resize(stem.size() - 4);
    stem_ = std::move(stem);
  }

  // ------------------------------------------------------------- settings

  bool exclusive_ = false;
  std::string indexName_;

  // ------------------------------------------------------------- paths

  std::filesystem::path DefaultPath(const char* extension) const { return folder_ / (stem_ + extension); }

  // The existing file with this stem and extension in any letter case, or
  // the name it would get.
  std::filesystem::path Resolve(const char* extension) const {
    if (auto found = platform::FindFileIgnoringCase(DefaultPath(extension))) return *found;
    return DefaultPath(extension);
  }

  std::string DisplayName() const { return (dbfPath_.empty() ? DefaultPath(".DBF") : dbfPath_).string(); }

  [[noreturn]] void Fail(const std::string& what) const {
    throw Error("Table " + DisplayName() + ": " + what, DisplayName());
  }

  void RequireFolder() const {
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder_, ignored))
      throw Error("Folder does not exist: " + folder_.string(), folder_.string());
  }

  // ------------------------------------------------------------- create

  void Create(const TableDef& definition) {
    if (file_) Fail("cannot be created while it is open");
    RequireFolder();
    dbfPath_ = Resolve(".DBF");
    const DbfHeader header = NewHeader(definition);
    DeleteTable(folder_, stem_);
    const auto mdxPath = MdxPathFor(dbfPath_);
    try {
      WriteEmptyTable(header, dbfPath_);
      if (header.productionIndex)
        WriteMdx(mdxPath, dbfPath_.stem().string(), header.level, header.languageDriver, EmptyTags(header));
    } catch (...) {
      // Half a table (a full disk) would later be taken for a damaged one.
      std::error_code ignored;
      std::filesystem::remove(dbfPath_, ignored);
      std::filesystem::remove(mdxPath, ignored);
      throw;
    }
  }

  DbfHeader NewHeader(const TableDef& definition) const {
    auto fields = CheckDefinition(definition);
    const bool longNames = std::any_of(fields.begin(), fields.end(),
                                       [](const FieldDescriptor& f) { return f.name.size() > kMaxFieldNameLevel4; });
    const int level = longNames ? 7 : 4;
    const unsigned codePage = platform::AnsiCodePage();
    const std::uint8_t driver = DriverForCodePage(codePage);
    return MakeDbfHeader(std::move(fields), level, driver, DriverName(driver), !definition.indexTags.empty());
  }

  static void WriteEmptyTable(const DbfHeader& header, const std::filesystem::path& path) {
    auto file = OpenFile(path, platform::Share::None, platform::Disposition::CreateAlways);
    std::string bytes = SerializeDbfHeader(header);
    bytes.push_back(static_cast<char>(kEndOfFileMarker));
    file.WriteAt(0, bytes.data(), bytes.size());
  }

  static std::vector<MdxTagData> EmptyTags(const DbfHeader& header) {
    std::vector<MdxTagData> tags;
    for (const auto& field : header.fields)
      if (field.indexed) tags.push_back({TagFor(field), {}});
    return tags;
  }

  std::vector<FieldDescriptor> CheckDefinition(const TableDef& definition) const {
    if (definition.fields.empty()) Fail("a table needs at least one field");
    std::vector<FieldDescriptor> fields;
    std::size_t recordLength = 1;
    for (const auto& def : definition.fields) {
      const std::string name = Upper(def.name);
      if (name.empty() || name.size() > kMaxFieldNameLevel7 || !std::isalpha(static_cast<unsigned char>(name[0])) ||
          !std::all_of(name.begin(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }))
        Fail("bad field name '" + def.name + "'");
      for (const auto& earlier : fields)
        if (earlier.name == name) Fail("field name '" + def.name + "' is used twice");
      const char type = static_cast<char>(def.type);
      const bool numeric = IsNumericType(type);
      const bool widthOk = type == 'C'   ? def.width >= 1 && def.width <= kMaxCharacterWidth
                           : numeric     ? def.width >= 1 && def.width <= kMaxNumericWidth
                           : type == 'L' ? def.width == 1
                           : type == 'D' ? def.width == 8
                                         : false;
      if (!widthOk) Fail("field " + name + " has an unsupported type or width");
      if (def.decimals < 0 || (def.decimals > 0 && (!numeric || def.decimals > def.width - 2)))
        Fail("field " + name + " has an unsupported number of decimals");
      recordLength += static_cast<std::size_t>(def.width);
      fields.push_back({name, type, def.width, def.decimals, 0, false});
    }
    if (recordLength > 0xFFFF) Fail("the fields are wider than a dBase record can be");
    for (const auto& tagField : definition.indexTags) {
      const std::string name = Upper(tagField);
      auto field = std::find_if(fields.begin(), fields.end(), [&](const FieldDescriptor& f) { return f.name == name; });
      if (field == fields.end()) Fail("index tag '" + tagField + "' names no field of the table");
      if (name.size() > kMaxTagNameLength) Fail("index tag name '" + tagField + "' is longer than 10 characters");
      if (field->type == 'C' && field->width > kMaxCharacterKeyLength)
        Fail("field " + name + " is too wide for an index key (at most 100 characters)");
      if (field->type == 'L') Fail("field " + name + " is logical and cannot be indexed");
      field->indexed = true;
    }
    return fields;
  }

  static std::filesystem::path MdxPathFor(const std::filesystem::path& dbf) {
    auto mdx = dbf;
    mdx.replace_extension(".MDX");
    if (auto found = platform::FindFileIgnoringCase(mdx)) return *found;
    return mdx;
  }

  static MdxTag TagFor(const FieldDescriptor& field) {
    MdxTag tag;
    tag.name = field.name;
    tag.expression = field.name;
    tag.keyType = field.type == 'C' ? 'C' : field.type == 'D' ? 'D' : 'N';
    tag.keyLength = field.type == 'C' ? field.width : field.type == 'D' ? 8 : kNumericKeyLength;
    return tag;
  }

  // ------------------------------------------------------------- open/close

  void Open() {
    if (file_) return;
    RequireFolder();
    dbfPath_ = Resolve(".DBF");
    if (!platform::FileExists(dbfPath_)) throw Error("Table does not exist: " + dbfPath_.string(), dbfPath_.string());
    const auto share = exclusive_ ? platform::Share::None : platform::Share::ReadWrite;
    heldExclusively_ = exclusive_;
    readOnly_ = false;
    try {
      file_.emplace(platform::File::Open(dbfPath_, platform::Access::ReadWrite, share));
    } catch (const platform::OpenError& error) {
      if (error.failure().kind != platform::OpenFailure::Kind::AccessDenied) ThrowOpenError(error, dbfPath_);
      // A read-only file can still be read; changing it then fails with a clear message.
      file_.emplace(OpenFile(dbfPath_, share, platform::Disposition::OpenExisting, platform::Access::ReadOnly));
      readOnly_ = true;
    }
    LoadOrReset();
  }

  void LoadOrReset() {
    try {
      Load();
      SelectIndex();
    } catch (...) {
      Reset();
      throw;
    }
    state_ = State::Browse;
    GoFirst();
  }

  // ------------------------------------------------------------- replacement
  // The copy and its new index are complete on disk before either takes the
  // table's place, so a run cut short leaves the table as it was or as Close
  // left it; files named by TemporaryBeside are the only leftovers.

  struct Replacement {
    std::filesystem::path dbf;
    std::filesystem::path mdx;
    bool tableExisted = false;
  };

  void OpenForReplacement(const TableDef& definitionIfNew) {
    if (file_) Fail("cannot be opened for replacement while it is open");
    RequireFolder();
    dbfPath_ = Resolve(".DBF");
    Replacement replacement{TemporaryBeside(dbfPath_), TemporaryBeside(MdxPathFor(dbfPath_)),
                            platform::FileExists(dbfPath_)};
    try {
      if (replacement.tableExisted) {
        CopyTableFile(dbfPath_, replacement.dbf);
      } else {
        const DbfHeader header = NewHeader(definitionIfNew);
        WriteEmptyTable(header, replacement.dbf);
        if (header.productionIndex)
          WriteMdxAside(replacement.mdx, MdxPathFor(dbfPath_), dbfPath_.stem().string(), header.level,
                        header.languageDriver, EmptyTags(header));
      }
      // Nobody else knows the copy, so its rows can wait in the file.
      heldExclusively_ = true;
      readOnly_ = false;
      file_.emplace(OpenFile(replacement.dbf, platform::Share::None, platform::Disposition::OpenExisting));
      replacement_ = replacement;
      LoadOrReset();
    } catch (...) {
      RemoveReplacementFiles(replacement);
      throw;
    }
  }

  // Read through a handle that keeps writers out, so the copy is of one
  // version of the table; a table held exclusively elsewhere is refused.
  static void CopyTableFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    auto source = OpenFile(from, platform::Share::Read, platform::Disposition::OpenExisting, platform::Access::ReadOnly);
    auto target = OpenFile(to, platform::Share::None, platform::Disposition::CreateAlways);
    std::string block(kAppendBatchBytes, '\0');
    for (std::uint64_t offset = 0;;) {
      const std::size_t got = source.ReadAt(offset, block.data(), block.size());
      if (got == 0) break;
      target.WriteAt(offset, block.data(), got);
      offset += got;
    }
  }

  static void RemoveReplacementFiles(const Replacement& replacement) {
    std::error_code ignored;
    std::filesystem::remove(replacement.dbf, ignored);
    std::filesystem::remove(replacement.mdx, ignored);
  }

  // Every record number in an index beside the table must name a row of it.
  // Rows are never taken out of a file, so the old index fits the new table:
  // an existing table is replaced before its index. A new table's index goes
  // first, since an index left from a table deleted earlier fits nothing.
  void CloseReplacing() {
    const Replacement replacement = *replacement_;
    const bool changed = rowsChanged_ || !replacement.tableExisted;
    try {
      FlushAppended();
      if (rowsChanged_) RewriteIndexFile();
      // On disk before it takes the table's name, or a power cut could leave
      // that name on rows never written.
      if (changed) file_->Flush();
    } catch (...) {
      Discard();
      throw;
    }
    Reset();  // Windows cannot replace a file that is open
    try {
      if (!changed) {
        RemoveReplacementFiles(replacement);
        return;
      }
      const bool newIndex = platform::FileExists(replacement.mdx);
      const auto mdxPath = MdxPathFor(dbfPath_);
      if (!replacement.tableExisted && newIndex) platform::ReplaceFile(replacement.mdx, mdxPath);
      platform::ReplaceFile(replacement.dbf, dbfPath_);
      if (replacement.tableExisted && newIndex) platform::ReplaceFile(replacement.mdx, mdxPath);
    } catch (...) {
      RemoveReplacementFiles(replacement);
      throw;
    }
  }

  void Discard() {
    if (!replacement_) {
      Close();
      return;
    }
    const Replacement replacement = *replacement_;
    Reset();
    RemoveReplacementFiles(replacement);
  }

  void Load() {
    const std::uint64_t size = file_->Size();
    std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(size, kMaxHeaderSize)), '\0');
    start.resize(file_->ReadAt(0, start.data(), start.size()));
    header_ = ParseDbfHeader(start, size, dbfPath_.string());

    rows_.Reset(header_.recordLength, [this](std::uint32_t first, std::size_t count, char* into) {
      const std::size_t bytes = count * header_.recordLength;
      if (file_->ReadAt(header_.headerLength + static_cast<std::uint64_t>(first) * header_.recordLength, into,
                        bytes) != bytes)
        Fail("damaged table: the rows are cut short");
    });
    rows_.Defer(header_.recordCount);
    flushedCount_ = header_.recordCount;
    liveCount_ = 0;
    rows_.Scan([this](std::uint32_t, std::string_view row) {
      if (row[0] != kDeletedFlag) ++liveCount_;
    });

    codePage_ = CodePageOfTable();
    if (!platform::CodePageSupported(codePage_))
      Fail("its text is in code page " + std::to_string(codePage_) + ", which this system cannot convert");

    mdxTags_.clear();
    mdxPath_ = MdxPathFor(dbfPath_);
    // A new table's index exists only beside it so far.
    const auto tagSource = replacement_ && !replacement_->tableExisted ? replacement_->mdx : mdxPath_;
    if (header_.productionIndex && platform::FileExists(tagSource)) mdxTags_ = ReadMdxTags(tagSource);
  }

  unsigned CodePageOfTable() const {
    if (auto codePage = CodePageOfDriver(header_.languageDriver)) return *codePage;
    if (header_.level == 7)
      if (auto codePage = CodePageOfDriverName(header_.languageDriverName)) return *codePage;
    return platform::AnsiCodePage();
  }

  void Close() {
    if (!file_) return;
    if (Editing()) Cancel();
    if (replacement_) {
      CloseReplacing();
      return;
    }
    std::optional<Error> failure;
    try {
      FlushAppended();
    } catch (const Error& error) {
      // The index must describe the rows the file holds, not those it lost.
      failure = error;
      header_.recordCount = flushedCount_;
    }
    if (rowsChanged_) {
      try {
        RewriteIndexFile();
      } catch (const Error& error) {
        if (!failure) failure = error;
      }
    }
    Reset();
    if (failure) throw *failure;
  }

  void Reset() {
    file_.reset();
    replacement_.reset();
    rows_.Reset(0);
    appended_.clear();
    appended_.shrink_to_fit();
    mdxTags_.clear();
    lookups_.clear();
    active_.reset();
    rowsChanged_ = false;
    state_ = State::Inactive;
    current_.reset();
    eof_ = true;
  }

  void RewriteIndexFile() {
    if (!header_.productionIndex || mdxTags_.empty()) return;
    DeclareBinaryCollation();
    // Each tag's keys go to the writer straight from the rows read back.
    std::vector<MdxTagKeys> tags;
    for (const auto& tag : mdxTags_) {
      const std::size_t field = FieldOfTag(tag);
      tags.push_back({tag, header_.recordCount, [this, field, text = tag.keyType == 'C'](const MdxTagKeys::Add& add) {
                        MdxKey key;
                        rows_.Scan([&](std::uint32_t row, std::string_view bytes) {
                          key.recordNumber = row + 1;
                          if (text)
                            key.text.assign(FieldBytes(bytes, field));
                          else
                            key.number = NumberOrZero(bytes, field);
                          add(key);
                        });
                      }});
    }
    const int level = header_.level == 7 ? 7 : 4;
    if (replacement_)
      WriteMdxAside(replacement_->mdx, mdxPath_, dbfPath_.stem().string(), level, header_.languageDriver,
                    std::move(tags));
    else
      WriteMdx(mdxPath_, dbfPath_.stem().string(), level, header_.languageDriver, std::move(tags));
  }

  // ------------------------------------------------------------- indexes
  // The index is rebuilt in byte order. A table whose driver declares a
  // linguistic collation (as 0x58 does) would make readers search the new
  // index in another order and miss rows, so the table and its index are
  // marked with the byte-order driver of the same code page.
  void DeclareBinaryCollation() {
    if (codePage_ != 1252) return;
    const bool binary = header_.languageDriver == kAnsiBinaryDriver &&
                        (header_.level != 7 || header_.languageDriverName == DriverName(kAnsiBinaryDriver));
    if (binary) return;
    header_.languageDriver = kAnsiBinaryDriver;
    const char driver = static_cast<char>(kAnsiBinaryDriver);
    file_->WriteAt(29, &driver, 1);
    if (header_.level == 7) {
      header_.languageDriverName = DriverName(kAnsiBinaryDriver);
      std::string name(32, '\0');
      std::copy(header_.languageDriverName.begin(), header_.languageDriverName.end(), name.begin());
      file_->WriteAt(kFixedHeaderSize, name.data(), name.size());
    }
  }


  // The field a tag's expression names, or npos when it is anything else.
  std::size_t FieldOfTagOrNone(const MdxTag& tag) const {
    const std::string expression = Trim(tag.expression);
    return FindField(expression);
  }

  std::size_t FieldOfTag(const MdxTag& tag) const {
    const std::size_t field = FieldOfTagOrNone(tag);
    if (field == npos) Fail("index tag " + tag.name + " uses the expression '" + tag.expression + "', which is not supported");
    return field;
  }

  // Ludaro can keep a tag up to date when it is a plain ascending tag on one
  // field whose values it can turn into keys.
  bool Maintainable(const MdxTag& tag) const {
    const std::size_t field = FieldOfTagOrNone(tag);
    if (field == npos || tag.descending || tag.unique || tag.hasFilter) return false;
    const char type = header_.fields[field].type;
    return (type == 'C' && tag.keyType == 'C') || (IsNumericType(type) && tag.keyType == 'N');
  }

  void SelectIndex() {
    active_.reset();
    if (indexName_.empty()) return;
    const MdxTag* chosen = nullptr;
    for (const auto& tag : mdxTags_)
      if (EqualsIgnoringCase(tag.name, indexName_)) chosen = &tag;
    if (!chosen)
      for (const auto& tag : mdxTags_)
        if (EqualsIgnoringCase(Trim(tag.expression), indexName_)) chosen = &tag;
    if (!chosen) Fail("index '" + indexName_ + "' does not exist");
    const std::size_t field = FieldOfTag(*chosen);
    if (chosen->descending || chosen->hasFilter || header_.fields[field].type == 'L')
      Fail("index tag " + chosen->name + " cannot be used for reading in order");
    active_.emplace(ActiveIndex{field, {}});
    rows_.Scan([this, field](std::uint32_t row, std::string_view bytes) {
      if (bytes[0] != kDeletedFlag) active_->order.Insert(OrderKey(bytes, field), row);
    });
  }

  // A key whose binary order is the field's order in an index.
  std::string OrderKey(std::string_view row, std::size_t field) const {
    const auto& descriptor = header_.fields[field];
    if (IsNumericType(descriptor.type)) return OrderedNumberKey(NumberOrZero(row, field));
    return std::string(FieldBytes(row, field));
  }

  double NumberOrZero(std::string_view row, std::size_t field) const {
    try {
      return DecodeNumber(FieldBytes(row, field)).value_or(0.0);
    } catch (const Error&) {
      return 0.0;  // garbage sorts with the zeros; reading the field reports it
    }
  }

  // One component of a lookup key: the stored value as compared by Locate.
  std::string StoredLookupPart(std::string_view row, std::size_t field) const {
    const auto& descriptor = header_.fields[field];
    if (IsNumericType(descriptor.type)) {
      try {
        return OrderedNumberKey(DecodeNumber(FieldBytes(row, field)).value_or(0.0));
      } catch (const Error&) {
        return "\xFF";  // matches no value
      }
    }
    if (descriptor.type == 'L') return DecodeLogical(FieldBytes(row, field)[0]).value_or(false) ? "T" : "F";
    return StripTrailingBlanks(FieldBytes(row, field));
  }

  std::string ValueLookupPart(std::size_t field, const FieldValue& value) const {
    const auto& descriptor = header_.fields[field];
    if (IsNumericType(descriptor.type)) {
      if (auto number = std::get_if<std::int64_t>(&value)) return OrderedNumberKey(static_cast<double>(*number));
      if (auto number = std::get_if<double>(&value)) return OrderedNumberKey(*number);
      if (auto text = std::get_if<std::u16string>(&value)) {
        if (auto number = ParseDecimalNumber(*text)) return OrderedNumberKey(*number);
      }
      Fail("value " + Describe(value) + " cannot be compared with the number field " + descriptor.name);
    }
    if (descriptor.type == 'L') {
      if (auto flag = std::get_if<bool>(&value)) return *flag ? "T" : "F";
      Fail("value " + Describe(value) + " cannot be compared with the logical field " + descriptor.name);
    }
    return EncodeForComparison(TextOf(value), codePage_);
  }

  static std::u16string TextOf(const FieldValue& value) {
    if (auto text = std::get_if<std::u16string>(&value)) return *text;
    if (auto number = std::get_if<std::int64_t>(&value)) return Utf8ToU16(std::to_string(*number));
    if (auto number = std::get_if<double>(&value)) return Utf8ToU16(ShortestDecimal(*number));
    if (auto flag = std::get_if<bool>(&value)) return *flag ? u"T" : u"F";
    return {};
  }

  static void AppendPart(std::string& key, const std::string& part) {
    key.push_back(static_cast<char>(part.size() & 0xFF));
    key.push_back(static_cast<char>(part.size() >> 8));
    key += part;
  }

  std::string StoredLookupKey(std::string_view row, const std::vector<std::size_t>& fields) const {
    std::string key;
    for (std::size_t field : fields) AppendPart(key, StoredLookupPart(row, field));
    return key;
  }

  struct Lookup {
    Lookup(const Impl& table, std::vector<std::size_t> lookupFields)
        : fields(std::move(lookupFields)),
          index([&table, this](std::uint32_t row) { return table.StoredLookupKey(table.RowBytes(row), fields); }) {}
    Lookup(const Lookup&) = delete;
    Lookup& operator=(const Lookup&) = delete;

    std::vector<std::size_t> fields;
    LookupIndex index;
  };

  Lookup& LookupFor(const std::vector<std::size_t>& fields) {
    // A table is looked up on one or two sets of fields, so a row's worth of
    // work goes into finding the lookup rather than naming it.
    for (Lookup& lookup : lookups_)
      if (lookup.fields == fields) return lookup;
    Lookup& lookup = lookups_.emplace_back(*this, fields);
    lookup.index.Reserve(liveCount_);
    rows_.Scan([&lookup, this](std::uint32_t row, std::string_view bytes) {
      if (bytes[0] != kDeletedFlag) lookup.index.Insert(StoredLookupKey(bytes, lookup.fields), row);
    });
    return lookup;
  }

  // ------------------------------------------------------------- rows

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  std::string_view RowBytes(std::uint32_t row) const {
    return std::string_view(rows_.Row(row), header_.recordLength);
  }

  std::string_view FieldBytes(std::string_view row, std::size_t field) const {
    const auto& descriptor = header_.fields[field];
    return row.substr(descriptor.offset, static_cast<std::size_t>(descriptor.width));
  }

  bool IsDeleted(std::uint32_t row) const { return RowBytes(row)[0] == kDeletedFlag; }

  std::size_t FindField(std::string_view name) const {
    // Every field is read or set by name once a row, spelled as the file
    // spells it and mostly by a literal of the caller: where a name was found
    // is remembered by where the caller keeps it, so most lookups compare one
    // name (and a name kept elsewhere is still found by comparing).
    const auto at = reinterpret_cast<std::uintptr_t>(name.data());
    std::size_t& remembered = foundFields_[(at ^ (at >> 6) ^ name.size()) % foundFields_.size()];
    if (remembered < header_.fields.size() && header_.fields[remembered].name == name) return remembered;
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
      if (header_.fields[i].name == name) return remembered = i;
    for (std::size_t i = 0; i < header_.fields.size(); ++i)
      if (EqualsIgnoringCase(header_.fields[i].name, name)) return i;
    return npos;
  }

  std::size_t RequireField(std::string_view name) const {
    RequireOpen();
    const std::size_t field = FindField(TrimView(name));
    if (field == npos) Fail("field '" + std::string(name) + "' not found");
    return field;
  }

  void RequireOpen() const {
    if (!file_) Fail("the table is not open");
  }

  // ------------------------------------------------------------- cursor

  void GoFirst() {
    current_ = FirstRow();
    eof_ = !current_;
  }

  std::optional<std::uint32_t> FirstRow() const {
    if (active_) return active_->order.First();
    for (std::uint32_t row = 0; row < header_.recordCount; ++row)
      if (!IsDeleted(row)) return row;
    return std::nullopt;
  }

  std::optional<std::uint32_t> RowAfter(std::uint32_t row) const {
    if (active_) return active_->order.Next(OrderKey(RowBytes(row), active_->field), row);
    for (std::uint32_t next = row + 1; next < header_.recordCount; ++next)
      if (!IsDeleted(next)) return next;
    return std::nullopt;
  }

  void First() {
    RequireOpen();
    PostIfEditing();
    GoFirst();
  }

  void Next() {
    RequireOpen();
    PostIfEditing();
    if (!current_) {
      eof_ = true;
      return;
    }
    if (auto next = RowAfter(*current_)) {
      current_ = next;
    } else {
      eof_ = true;  // stays on the last row, as a data-aware cursor does
    }
  }

  void MoveTo(std::uint32_t row) {
    current_ = row;
    eof_ = false;
  }

  // ------------------------------------------------------------- editing

  bool Editing() const { return state_ == State::Edit || state_ == State::Insert; }

  void PostIfEditing() {
    if (Editing()) Post();
  }

  void RequireWritable() const {
    RequireOpen();
    if (readOnly_) Fail("the table file is read-only");
    for (const auto& tag : mdxTags_)
      if (!Maintainable(tag))
        Fail("cannot be changed: its index tag " + tag.name + " ('" + tag.expression +
             "') is of a kind this program cannot keep up to date");
  }

  void Append() {
    RequireWritable();
    PostIfEditing();
    buffer_.assign(header_.recordLength, ' ');
    state_ = State::Insert;
  }

  void Edit() {
    RequireWritable();
    if (Editing()) return;
    if (!current_) {
      Append();
      return;
    }
    buffer_ = std::string(RowBytes(*current_));
    state_ = State::Edit;
  }

  void Cancel() {
    if (!Editing()) return;
    buffer_.clear();
    state_ = State::Browse;
  }

  void Post() {
    RequireOpen();
    if (!Editing()) Fail("there is no row being edited or appended to post");
    if (state_ == State::Insert) {
      PostNewRow();
    } else {
      PostChangedRow();
    }
    buffer_.clear();
    state_ = State::Browse;
    rowsChanged_ = true;
    // After the row is posted: a failed batch is reported, and the row stays
    // posted and held back like the rest of the batch.
    if (appended_.size() >= kAppendBatchBytes) FlushAppended();
  }

  void PostNewRow() {
    if (header_.recordCount == 0xFFFFFFFFu) Fail("the table cannot hold more rows");
    const std::uint32_t row = header_.recordCount;
    if (!rowsChanged_) StampToday(header_);
    if (heldExclusively_) {
      // No other handle can open the file until Close, which writes what is
      // still held back; Post writes each full batch.
      appended_ += buffer_;
    } else {
      WriteRowsAndCount(buffer_ + static_cast<char>(kEndOfFileMarker), 1);
    }
    ++header_.recordCount;
    rows_.Append(buffer_);
    rows_.DropRowsInFile(flushedCount_);
    ++liveCount_;
    if (active_) active_->order.Insert(OrderKey(RowBytes(row), active_->field), row);
    for (auto& lookup : lookups_) lookup.index.Insert(StoredLookupKey(RowBytes(row), lookup.fields), row);
    MoveTo(row);
  }

  void PostChangedRow() {
    const std::uint32_t row = *current_;
    const std::string before(RowBytes(row));
    if (before == buffer_) return;
    FlushAppended();
    if (!rowsChanged_) {
      StampToday(header_);
      const std::string dateAndCount = SerializeDateAndCount(header_);
      file_->WriteAt(1, dateAndCount.data(), dateAndCount.size());
    }
    file_->WriteAt(header_.headerLength + static_cast<std::uint64_t>(row) * header_.recordLength, buffer_.data(),
                   buffer_.size());
    if (active_) active_->order.Erase(OrderKey(before, active_->field), row);
    for (auto& lookup : lookups_) lookup.index.Erase(StoredLookupKey(before, lookup.fields), row);
    rows_.Overwrite(row, 0, buffer_);
    if (active_) active_->order.Insert(OrderKey(RowBytes(row), active_->field), row);
    for (auto& lookup : lookups_) lookup.index.Insert(StoredLookupKey(RowBytes(row), lookup.fields), row);
  }

  // Writes `count` rows after those in the file, followed by the end-of-file
  // mark, and then the header's row count: a reader never counts a row whose
  // bytes are not all there. Some readers (dbfread) go by the end-of-file
  // mark instead of the count, so the first byte, which covers the old mark,
  // is written only once the rest is there: an interrupted write leaves them
  // the rows before it, never a row half written.
  void WriteRowsAndCount(std::string_view rowsAndMark, std::uint32_t count) {
    const std::uint64_t offset =
        header_.headerLength + static_cast<std::uint64_t>(flushedCount_) * header_.recordLength;
    file_->WriteAt(offset + 1, rowsAndMark.data() + 1, rowsAndMark.size() - 1);
    file_->WriteAt(offset, rowsAndMark.data(), 1);
    DbfHeader written = header_;
    written.recordCount = flushedCount_ + count;
    const std::string dateAndCount = SerializeDateAndCount(written);
    file_->WriteAt(1, dateAndCount.data(), dateAndCount.size());
    flushedCount_ += count;
  }

  // Writes the rows appended since the last batch. When the batch cannot be
  // written whole (a full disk), the rows go one by one, so the file keeps
  // every row there was room for, and the error names the first row lost;
  // the rest stay held back for a later attempt.
  void FlushAppended() {
    if (appended_.empty()) return;
    const auto count = static_cast<std::uint32_t>(appended_.size() / header_.recordLength);
    // The mark goes into the batch's own buffer: a copy of a megabyte per
    // batch would cost more than the write.
    appended_.push_back(static_cast<char>(kEndOfFileMarker));
    try {
      WriteRowsAndCount(appended_, count);
      appended_.clear();
      rows_.DropRowsInFile(flushedCount_);
      return;
    } catch (const Error&) {
      appended_.pop_back();
    }
    std::size_t done = 0;
    try {
      for (; done < appended_.size(); done += header_.recordLength)
        WriteRowsAndCount(appended_.substr(done, header_.recordLength) + static_cast<char>(kEndOfFileMarker), 1);
    } catch (const Error& error) {
      appended_.erase(0, done);
      Fail("row " + std::to_string(flushedCount_ + 1) + " and the " +
           std::to_string(appended_.size() / header_.recordLength - 1) +
           " rows after it could not be written: " + error.what());
    }
    appended_.clear();
  }

  void GoToRecord(std::uint32_t recNo) {
    RequireOpen();
    if (recNo == 0 || recNo > header_.recordCount) Fail("there is no row " + std::to_string(recNo));
    if (IsDeleted(recNo - 1)) Fail("row " + std::to_string(recNo) + " is deleted");
    PostIfEditing();
    MoveTo(recNo - 1);
  }

  void Delete() {
    RequireWritable();
    if (state_ == State::Insert) {
      Cancel();
      return;
    }
    Cancel();
    if (!current_) Fail("there is no row to delete");
    const std::uint32_t row = *current_;
    std::optional<std::uint32_t> successor = RowAfter(row);
    if (!successor) successor = RowBefore(row);

    FlushAppended();
    if (!rowsChanged_) {
      StampToday(header_);
      const std::string dateAndCount = SerializeDateAndCount(header_);
      file_->WriteAt(1, dateAndCount.data(), dateAndCount.size());
    }
    const char flag = kDeletedFlag;
    file_->WriteAt(header_.headerLength + static_cast<std::uint64_t>(row) * header_.recordLength, &flag, 1);
    rowsChanged_ = true;
    if (active_) active_->order.Erase(OrderKey(RowBytes(row), active_->field), row);
    for (auto& lookup : lookups_) lookup.index.Erase(StoredLookupKey(RowBytes(row), lookup.fields), row);
    rows_.Overwrite(row, 0, std::string_view(&flag, 1));
    --liveCount_;
    current_ = successor;
    eof_ = !successor;
  }

  // Deleting is rare and done by hand, so walking the order is cheap enough.
  std::optional<std::uint32_t> RowBefore(std::uint32_t row) const {
    if (!active_) {
      for (std::uint32_t before = row; before-- > 0;)
        if (!IsDeleted(before)) return before;
      return std::nullopt;
    }
    std::optional<std::uint32_t> previous;
    for (auto walk = FirstRow(); walk && *walk != row; walk = RowAfter(*walk)) previous = walk;
    return previous;
  }

  // ------------------------------------------------------------- search

  bool Locate(std::string_view fieldNames, const std::vector<FieldValue>& values) {
    RequireOpen();
    std::vector<std::size_t> fields;
    std::size_t start = 0;
    while (start <= fieldNames.size()) {
      const std::size_t end = std::min(fieldNames.find(';', start), fieldNames.size());
      fields.push_back(RequireField(fieldNames.substr(start, end - start)));
      start = end + 1;
    }
    if (fields.size() != values.size())
      Fail("locate names " + std::to_string(fields.size()) + " fields but gives " + std::to_string(values.size()) +
           " values");
    PostIfEditing();
    std::string key;
    for (std::size_t i = 0; i < fields.size(); ++i) AppendPart(key, ValueLookupPart(fields[i], values[i]));
    const auto& rows = LookupFor(fields).index.Find(key);
    if (rows.empty()) return false;
    std::uint32_t best = rows.front();
    if (active_) {
      // The first match in index order: smallest (key, row).
      std::string bestKey = OrderKey(RowBytes(best), active_->field);
      for (std::uint32_t row : rows) {
        std::string rowKey = OrderKey(RowBytes(row), active_->field);
        if (rowKey < bestKey) {
          bestKey = std::move(rowKey);
          best = row;
        }
      }
    }
    MoveTo(best);
    return true;
  }

  bool FindKey(const std::vector<FieldValue>& values) {
    RequireOpen();
    if (!active_) Fail("find key needs an index, and none is selected");
    if (values.size() != 1) Fail("find key needs exactly one value for the index field");
    PostIfEditing();
    const auto& descriptor = header_.fields[active_->field];
    std::string key;
    if (IsNumericType(descriptor.type)) {
      key = ValueLookupPart(active_->field, values[0]);
    } else {
      key = EncodeForComparison(TextOf(values[0]), codePage_);
      if (key.size() > static_cast<std::size_t>(descriptor.width)) return false;
      key.resize(static_cast<std::size_t>(descriptor.width), ' ');
    }
    auto row = active_->order.Find(key);
    if (!row) return false;
    MoveTo(*row);
    return true;
  }

  // ------------------------------------------------------------- fields

  // The bytes a field read sees: the row being edited, else the current row,
  // else (an empty table) blanks.
  std::string_view ReadRow() const {
    if (Editing()) return buffer_;
    if (current_) return RowBytes(*current_);
    blankRow_.assign(header_.recordLength, ' ');
    return blankRow_;
  }

  [[noreturn]] void FailField(std::size_t field, const std::string& what) const {
    Fail("field " + header_.fields[field].name + ": " + what);
  }

  std::optional<double> ReadNumber(std::string_view row, std::size_t field) const {
    try {
      return DecodeNumber(FieldBytes(row, field));
    } catch (const Error& error) {
      FailField(field, error.what());
    }
  }

  void RequireReadableType(std::size_t field) const {
    const char type = header_.fields[field].type;
    if (type != 'C' && type != 'D' && type != 'L' && !IsNumericType(type))
      FailField(field, std::string("type '") + type + "' cannot be read by this program");
  }

  FieldValue Value(std::size_t field) const { return ValueIn(ReadRow(), field); }

  FieldValue ValueIn(std::string_view row, std::size_t field) const {
    RequireReadableType(field);
    const auto& descriptor = header_.fields[field];
    const std::string_view bytes = FieldBytes(row, field);
    if (IsNumericType(descriptor.type)) {
      const auto number = ReadNumber(row, field);
      if (!number) return std::monostate{};
      if (descriptor.decimals == 0) {
        if (auto whole = RoundHalfToEven(*number)) return *whole;
      }
      return *number;
    }
    if (descriptor.type == 'L') {
      if (auto flag = DecodeLogical(bytes[0])) return *flag;
      return std::monostate{};
    }
    return DecodeText(bytes, codePage_);
  }

  std::u16string AsString(std::size_t field) const { return StringOf(Value(field)); }

  std::u16string StringAt(std::uint32_t recNo, std::size_t field) const {
    if (recNo == 0 || recNo > header_.recordCount) Fail("there is no row " + std::to_string(recNo));
    return StringOf(ValueIn(RowBytes(recNo - 1), field));
  }

  std::vector<std::uint32_t> RecNosInOrder() const {
    RequireOpen();
    std::vector<std::uint32_t> recNos;
    recNos.reserve(liveCount_);
    for (auto row = FirstRow(); row; row = RowAfter(*row)) recNos.push_back(*row + 1);
    return recNos;
  }

  static std::u16string StringOf(const FieldValue& value) {
    if (auto flag = std::get_if<bool>(&value)) return *flag ? u"True" : u"False";
    return TextOf(value);
  }

  std::int64_t AsInteger(std::size_t field) const {
    const FieldValue value = Value(field);
    if (std::holds_alternative<std::monostate>(value)) return 0;
    if (auto whole = std::get_if<std::int64_t>(&value)) return *whole;
    if (auto number = std::get_if<double>(&value)) {
      if (auto whole = RoundHalfToEven(*number)) return *whole;
      FailField(field, "value " + ShortestDecimal(*number) + " is out of the integer range");
    }
    if (auto text = std::get_if<std::u16string>(&value)) {
      if (auto whole = ParseWholeNumber(*text)) return *whole;
      FailField(field, "'" + U16ToUtf8(*text) + "' is not a valid integer value");
    }
    FailField(field, "a logical value cannot be read as an integer");
  }

  double AsFloat(std::size_t field) const {
    const FieldValue value = Value(field);
    if (std::holds_alternative<std::monostate>(value)) return 0.0;
    if (auto whole = std::get_if<std::int64_t>(&value)) return static_cast<double>(*whole);
    if (auto number = std::get_if<double>(&value)) return *number;
    if (auto text = std::get_if<std::u16string>(&value)) {
      if (auto number = ParseDecimalNumber(*text)) return *number;
      FailField(field, "'" + U16ToUtf8(*text) + "' is not a valid number");
    }
    FailField(field, "a logical value cannot be read as a number");
  }

  bool AsBoolean(std::size_t field) const {
    const FieldValue value = Value(field);
    if (std::holds_alternative<std::monostate>(value)) return false;
    if (auto flag = std::get_if<bool>(&value)) return *flag;
    FailField(field, "it is not a logical field");
  }

  // Text into a text field straight from the caller's characters, the way
  // the import fills most of its fields.
  void SetText(std::size_t field, std::u16string_view text) {
    const auto& descriptor = header_.fields[field];
    if (descriptor.type != 'C' || !Editing()) {
      Set(field, std::u16string(text));
      return;
    }
    EncodeTextInto(text, descriptor.width, codePage_, buffer_.data() + descriptor.offset);
  }

  void Set(std::size_t field, const FieldValue& value) {
    if (!Editing()) Fail("field " + header_.fields[field].name + " cannot be set: no row is being edited or appended");
    const auto& descriptor = header_.fields[field];
    std::string bytes;
    if (descriptor.type == 'C') {
      bytes = EncodeText(TextOf(value), descriptor.width, codePage_);
    } else if (IsNumericType(descriptor.type)) {
      std::optional<double> number;
      if (auto whole = std::get_if<std::int64_t>(&value)) number = static_cast<double>(*whole);
      if (auto real = std::get_if<double>(&value)) number = *real;
      if (auto text = std::get_if<std::u16string>(&value)) {
        if (!text->empty()) {
          number = ParseDecimalNumber(*text);
          if (!number) FailField(field, "'" + U16ToUtf8(*text) + "' is not a valid number");
        }
      }
      if (std::holds_alternative<bool>(value)) FailField(field, "a logical value cannot be stored in a number field");
      if (!number) {
        bytes.assign(static_cast<std::size_t>(descriptor.width), ' ');
      } else {
        auto encoded = EncodeNumber(*number, descriptor.width, descriptor.decimals);
        if (!encoded) FailField(field, "value " + ShortestDecimal(*number) + " does not fit in the field");
        bytes = std::move(*encoded);
      }
    } else if (descriptor.type == 'L') {
      std::optional<bool> flag;
      if (auto given = std::get_if<bool>(&value)) flag = *given;
      if (auto text = std::get_if<std::u16string>(&value)) {
        const std::string upper = Upper(U16ToUtf8(*text));
        if (upper == "T" || upper == "TRUE") flag = true;
        else if (upper == "F" || upper == "FALSE") flag = false;
        else if (!upper.empty()) FailField(field, "'" + U16ToUtf8(*text) + "' is not a valid logical value");
      }
      if (std::holds_alternative<std::int64_t>(value) || std::holds_alternative<double>(value))
        FailField(field, "a number cannot be stored in a logical field");
      bytes = flag ? (*flag ? "T" : "F") : " ";
    } else {
      FailField(field, std::string("type '") + descriptor.type + "' cannot be written by this program");
    }
    std::copy(bytes.begin(), bytes.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(descriptor.offset));
  }

  // ------------------------------------------------------------- state

  std::filesystem::path folder_;
  std::string stem_;
  std::filesystem::path dbfPath_;
  std::filesystem::path mdxPath_;
  std::optional<platform::File> file_;
  bool readOnly_ = false;
  bool heldExclusively_ = false;
  std::optional<Replacement> replacement_;
  DbfHeader header_;
  unsigned codePage_ = 1252;
  RowStore rows_;
  // Rows in the file as its header counts them; the rest of rows_ is in
  // appended_, waiting for its batch to be written.
  std::uint32_t flushedCount_ = 0;
  std::string appended_;
  std::size_t liveCount_ = 0;
  std::vector<MdxTag> mdxTags_;
  bool rowsChanged_ = false;

  struct ActiveIndex {
    std::size_t field = 0;
    OrderedIndex order;
  };
  std::optional<ActiveIndex> active_;
  std::list<Lookup> lookups_;  // each stays where it is: its index refers to it

  State state_ = State::Inactive;
  std::optional<std::uint32_t> current_;
  bool eof_ = true;
  std::string buffer_;
  mutable std::string blankRow_;
  mutable std::array<std::size_t, 64> foundFields_{};
};

Table::Table(std::filesystem::path folder, std::string name)
    : impl_(std::make_unique<Impl>(std::move(folder), std::move(name))) {}

Table::~Table() {
  try {
    impl_->Discard();
  } catch (const Error&) {
    // A destructor cannot report; callers that care close explicitly.
  }
}

void Table::SetExclusive(bool exclusive) { impl_->exclusive_ = exclusive; }

void Table::SetIndexName(std::string tagOrField) {
  impl_->indexName_ = std::move(tagOrField);
  if (impl_->file_) {
    impl_->PostIfEditing();
    const auto keep = impl_->current_;
    impl_->SelectIndex();
    impl_->current_ = keep;
  }
}

void Table::Create(const TableDef& definition) { impl_->Create(definition); }
void Table::Open() { impl_->Open(); }
void Table::OpenForReplacement(const TableDef& definitionIfNew) { impl_->OpenForReplacement(definitionIfNew); }
void Table::Close() { impl_->Close(); }
void Table::Discard() { impl_->Discard(); }
bool Table::Active() const { return impl_->file_.has_value(); }
Table::State Table::state() const { return impl_->state_; }
bool Table::Editing() const { return impl_->Editing(); }

void Table::First() { impl_->First(); }
void Table::Next() { impl_->Next(); }
bool Table::Eof() const { return !impl_->file_ || impl_->eof_; }
std::size_t Table::RecordCount() const {
  impl_->RequireOpen();
  return impl_->liveCount_;
}

std::uint32_t Table::RecNo() const { return impl_->file_ && impl_->current_ ? *impl_->current_ + 1 : 0; }
void Table::GoToRecord(std::uint32_t recNo) { impl_->GoToRecord(recNo); }

void Table::Append() { impl_->Append(); }
void Table::Edit() { impl_->Edit(); }
void Table::Post() { impl_->Post(); }
void Table::Cancel() { impl_->Cancel(); }
void Table::Delete() { impl_->Delete(); }

bool Table::Locate(std::string_view fieldNames, const std::vector<FieldValue>& values) {
  return impl_->Locate(fieldNames, values);
}
bool Table::FindKey(const std::vector<FieldValue>& values) { return impl_->FindKey(values); }

std::u16string Table::AsString(std::string_view field) const { return impl_->AsString(impl_->RequireField(field)); }
std::u16string Table::StringAt(std::uint32_t recNo, std::string_view field) const {
  return impl_->StringAt(recNo, impl_->RequireField(field));
}
std::vector<std::uint32_t> Table::RecNosInOrder() const { return impl_->RecNosInOrder(); }
std::int64_t Table::AsInteger(std::string_view field) const { return impl_->AsInteger(impl_->RequireField(field)); }
double Table::AsFloat(std::string_view field) const { return impl_->AsFloat(impl_->RequireField(field)); }
bool Table::AsBoolean(std::string_view field) const { return impl_->AsBoolean(impl_->RequireField(field)); }
FieldValue Table::Value(std::string_view field) const { return impl_->Value(impl_->RequireField(field)); }

void Table::SetString(std::string_view field, std::u16string_view value) {
  impl_->SetText(impl_->RequireField(field), value);
}
void Table::SetInteger(std::string_view field, std::int64_t value) { SetValue(field, value); }
void Table::SetFloat(std::string_view field, double value) { SetValue(field, value); }
void Table::SetBoolean(std::string_view field, bool value) { SetValue(field, value); }
void Table::SetValue(std::string_view field, const FieldValue& value) { impl_->Set(impl_->RequireField(field), value); }

std::vector<FieldInfo> Table::Fields() const {
  impl_->RequireOpen();
  std::vector<FieldInfo> fields;
  for (const auto& field : impl_->header_.fields) fields.push_back({field.name, field.type, field.width, field.decimals});
  return fields;
}

const std::filesystem::path& Table::path() const { return impl_->dbfPath_; }

int Table::Level() const {
  impl_->RequireOpen();
  return impl_->header_.level;
}

void DeleteTable(const std::filesystem::path& folder, std::string_view name) {
  std::string stem(name);
  if (stem.size() >= 4 && EqualsIgnoringCase(std::string_view(stem).substr(stem.size() - 4), ".DBF"))
    stem.resize(stem.size() - 4);
  const auto dbf = folder / (stem + ".DBF");
  if (auto existing = platform::FindFileIgnoringCase(dbf)) {
    // As on Windows, a table that is open elsewhere cannot be deleted.
    OpenFile(*existing, platform::Share::None, platform::Disposition::OpenExisting);
    platform::DeleteFileIfExists(*existing);
  }
  const auto mdx = folder / (stem + ".MDX");
  platform::DeleteFileIfExists(platform::FindFileIgnoringCase(mdx).value_or(mdx));
}

}  // namespace ludaro::dbf
