#pragma once

// A handle on one dBase table: the only way the data steps reach Horalia's
// working tables. Its rows stay in the file: a walk reads them back a block
// at a time and a lookup the one row it lands on, through in-memory indexes
// of keys and row numbers, so a table of a million rows costs a few megabytes
// beside its indexes. Every posted row is written through to the file at
// once, and the production index is rewritten on close, so an interrupted run
// keeps every row it had posted. A table held exclusively (which no other
// handle can open meanwhile) writes appended rows in batches of about a
// megabyte and the rest on Close or on destruction, holding only those in
// memory; a write that fails keeps every row before it readable.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ludaro::dbf {

enum class FieldType : char {
  Character = 'C',
  Numeric = 'N',
  Float = 'F',
  Logical = 'L',
  Date = 'D',
};

// A field as a caller declares it when creating a table.
struct FieldDef {
  std::string name;  // upper case ASCII, at most 31 characters
  FieldType type = FieldType::Character;
  int width = 0;
  int decimals = 0;

  static FieldDef Text(std::string name, int width);
  static FieldDef Integer(std::string name);  // N(11,0)
  static FieldDef Float(std::string name);    // F(20,4)
  static FieldDef Logical(std::string name);  // L(1)
};

struct TableDef {
  std::vector<FieldDef> fields;
  std::vector<std::string> indexTags;  // field names; each tag is named like its field
};

// A field of an open table, as its file describes it.
struct FieldInfo {
  std::string name;
  char type = 'C';  // the type letter as stored, including types Ludaro only skips
  int width = 0;
  int decimals = 0;
};

// A value read from or given to a field. Empty (monostate) stands for a blank
// number, date or logical.
using FieldValue = std::variant<std::monostate, std::u16string, std::int64_t, double, bool>;

class Table {
 public:
  enum class State { Inactive, Browse, Edit, Insert };

  // `name` with or without ".DBF", in any letter case.
  Table(std::filesystem::path folder, std::string name);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  // Settings; they take effect at the next Open (SetIndexName also at once).
  void SetExclusive(bool exclusive);
  // An index tag name, or the name of the indexed field; empty for row order.
  void SetIndexName(std::string tagOrField);

  // Creates the table anew (replacing it and its index file) with the given
  // fields and index tags, and leaves it closed.
  void Create(const TableDef& definition);

  void Open();
  // Opens the table for a change that reaches its files all at once: the
  // handle works on a copy beside the table (a new empty table made by
  // `definitionIfNew` when there is none), Close moves the copy and its index
  // over the table's files, and Discard, a failed Close or the handle's end
  // without Close drop the copy. A run cut short at any point leaves the
  // table as it was or as Close left it, readable, with an index whose record
  // numbers all name rows of the table.
  void OpenForReplacement(const TableDef& definitionIfNew);
  // Discards a row being edited or appended, rewrites the index if the rows
  // changed, and releases the file.
  void Close();
  // Closes the table leaving out what a replacement changed; a table opened
  // by Open is closed as Close does, its posted rows being in the file.
  void Discard();
  bool Active() const;
  State state() const;
  bool Editing() const;  // a row is being edited or appended

  void First();
  void Next();
  bool Eof() const;
  std::size_t RecordCount() const;
  // The physical number (from 1) of the row the cursor is on; 0 when there is
  // none. A row being appended has no number until it is posted.
  std::uint32_t RecNo() const;
  // Makes row `recNo` current, posting a row being edited first. Fails for a
  // number that names no row or a deleted one.
  void GoToRecord(std::uint32_t recNo);

  // Starts a new row (blank fields). Posts a row being edited first.
  void Append();
  // Starts editing the current row; on a table without rows, starts a new row.
  void Edit();
  void Post();
  void Cancel();
  // Marks the current row deleted, as dBase does, so every reader skips it;
  // an edit of it is discarded. The next row becomes current, or the one
  // before when it was the last. A row being appended is discarded instead.
  void Delete();

  // `fieldNames` joined by ';', one value per field. On a match the row
  // becomes current and the result is true; otherwise nothing moves.
  bool Locate(std::string_view fieldNames, const std::vector<FieldValue>& values);
  // The same on the field of the current index.
  bool FindKey(const std::vector<FieldValue>& values);

  std::u16string AsString(std::string_view field) const;
  // Reading a whole table for display without moving the cursor, so a row
  // being edited or appended stays so: every row's number in the current
  // order, and a stored field of any row as AsString gives it.
  std::vector<std::uint32_t> RecNosInOrder() const;
  std::u16string StringAt(std::uint32_t recNo, std::string_view field) const;
  std::int64_t AsInteger(std::string_view field) const;
  double AsFloat(std::string_view field) const;
  bool AsBoolean(std::string_view field) const;
  FieldValue Value(std::string_view field) const;

  void SetString(std::string_view field, std::u16string_view value);
  void SetInteger(std::string_view field, std::int64_t value);
  void SetFloat(std::string_view field, double value);
  void SetBoolean(std::string_view field, bool value);
  void SetValue(std::string_view field, const FieldValue& value);

  std::vector<FieldInfo> Fields() const;
  const std::filesystem::path& path() const;
  // The level of the open file: 3, 4 or 7.
  int Level() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Deletes a table's ".DBF" and ".MDX" where they exist.
void DeleteTable(const std::filesystem::path& folder, std::string_view name);

}  // namespace ludaro::dbf
