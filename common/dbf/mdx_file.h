#pragma once

// Production index files (.MDX) of dBase IV and dBase 7 tables: one file per
// table, holding one B-tree per tag. Ludaro keeps its indexes in memory while a
// table is open and writes the whole .MDX anew when the table changes, so the
// writer builds every tree from sorted keys and the reader only needs the tag
// list (to learn which indexes a foreign table declares) and, for checks, the
// record order of one tag.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ludaro::dbf {

struct MdxTag {
  std::string name;        // as stored: at most 10 characters (dBase 7: 32)
  std::string expression;  // key expression; for Ludaro's own tags the field name
  char keyType = 'C';      // 'C' character, 'N' numeric (BCD), 'D' date, as stored
  int keyLength = 0;       // bytes of one key in the file
  bool descending = false;
  bool unique = false;
  bool hasFilter = false;  // a FOR condition Ludaro cannot evaluate
};

// One key of a tag: `text` for character keys (the field's stored bytes, at
// most the key length; the writer pads them with blanks), `number` for
// numeric keys (stored as dBase's 12-byte packed decimal, 15 significant
// digits). Deleted records keep their keys, as in dBase.
struct MdxKey {
  std::string text;
  double number = 0;
  std::uint32_t recordNumber = 0;  // 1-based, as in the .DBF
};

struct MdxTagData {
  MdxTag tag;
  std::vector<MdxKey> keys;  // any order; the writer sorts by key, then record number
};

// The keys of one tag handed over one at a time, for a caller with many rows
// that need not all be gathered as MdxKeys first: `keys` calls `add` once
// for every key, in any order; the writer calls it once. `expected` is how
// many keys it gives, to size the writer's buffers.
struct MdxTagKeys {
  using Add = std::function<void(const MdxKey&)>;
  MdxTag tag;
  std::size_t expected = 0;
  std::function<void(const Add& add)> keys;
};

// Writes a complete production index for the table whose file name without
// folder and extension is `tableStem`. `dbfLevel` is 4 (dBase IV) or 7 (dBase 7)
// and `languageDriver` the table's language driver byte. Tags are written in
// the order given, each plain: ascending, duplicates allowed, no filter, key
// type 'C' (key length 1-100) or 'N' (key length 12). Character keys are
// ordered by their bytes (binary order), numeric keys by value, equal keys by
// record number. Time is that of sorting the keys. The file is written beside
// its final name and then moved over it, so readers never see half an index.
// Throws ludaro::Error naming the file (a tag it cannot write, a key longer
// than its tag's keys, record number 0, a number that is not finite, I/O).
void WriteMdx(const std::filesystem::path& mdxPath, std::string_view tableStem, int dbfLevel,
              std::uint8_t languageDriver, std::vector<MdxTagData> tags);
void WriteMdx(const std::filesystem::path& mdxPath, std::string_view tableStem, int dbfLevel,
              std::uint8_t languageDriver, std::vector<MdxTagKeys> tags);

// The same index written to `temporary` (a file of its own in the index's
// folder) and left there, for a caller that moves it over `mdxPath` once the
// table it belongs to is complete. Errors name `mdxPath`; a file that could
// not be written whole is removed.
void WriteMdxAside(const std::filesystem::path& temporary, const std::filesystem::path& mdxPath,
                   std::string_view tableStem, int dbfLevel, std::uint8_t languageDriver,
                   std::vector<MdxTagData> tags);
void WriteMdxAside(const std::filesystem::path& temporary, const std::filesystem::path& mdxPath,
                   std::string_view tableStem, int dbfLevel, std::uint8_t languageDriver,
                   std::vector<MdxTagKeys> tags);

// The name a file gets while it is written beside `target`, before it
// replaces it: hidden where dot names are, and ending in ".new".
std::filesystem::path TemporaryBeside(const std::filesystem::path& target);

// The tags of an existing .MDX (dBase IV or 7, by any writer), after checking
// the header, the tag table, each tag header and root page number against the
// file's size. Key type, length and flags come from the tag's own header.
// Throws ludaro::Error("<file>: <what is wrong>").
std::vector<MdxTag> ReadMdxTags(const std::filesystem::path& mdxPath);

// The record numbers of one tag (name compared without regard to case) in
// the order of its leaves, read by walking its B-tree with every page number
// and entry count checked; key order is not checked, since another writer's
// collation may differ from binary order. Throws ludaro::Error naming the file
// when the tag does not exist or the tree is damaged (a page outside the
// file, an entry count too large for its block, a block reached twice,
// leaves at different depths, record number 0).
std::vector<std::uint32_t> ReadMdxRecordOrder(const std::filesystem::path& mdxPath,
                                              std::string_view tagName);

}  // namespace ludaro::dbf
