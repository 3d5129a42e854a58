#pragma once

// The rows of an open table, kept apart from the table's logic of opening,
// creating, appending and locating: what is read back from the file, what
// waits there to be written, and nothing else.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace ludaro::dbf {

// The rows of an open table. Rows the file holds are not kept: a walk in row
// order reads them back a block at a time, a lookup reads back the one row it
// lands on, so a table of any size costs a few megabytes however it is used.
// Only rows the file lacks yet (appended to a table held exclusively and
// waiting for their batch) stay in memory, in blocks of whole rows that never
// move once filled, so appending a million rows copies each only once.
class RowStore {
 public:
  static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
  static constexpr std::size_t kMaxReadBack = 4;
  static constexpr std::size_t kCachedRows = 4;
  // A table of up to this many blocks keeps the blocks its lookups read
  // back: reading a block once costs less than a file read per lookup, and
  // its memory stays bounded. Larger tables read back single rows for them.
  static constexpr std::size_t kMaxHeldBlocks = 64;

  // Reads `count` rows from row `first` on out of the file into `into`.
  using Reader = std::function<void(std::uint32_t first, std::size_t count, char* into)>;

  // Empties the store for rows of `recordLength` bytes.
  void Reset(std::size_t recordLength, Reader reader = {});

  // The row handed out last stays valid while the next one is fetched: what
  // is read back never takes the place of the block or row it came from.
  const char* Row(std::uint32_t row) const {
    const std::size_t block = row / rowsPerBlock_;
    const std::uint32_t previous = std::exchange(lastRow_, row);
    if (blocks_[block]) return InBlock(block, row);
    for (std::size_t slot = 0; slot < kCachedRows; ++slot)
      if (cachedRows_[slot] == row) return CachedRow(slot);
    // A walk in row order wants the rest of the block too, and passes on;
    // lookups in a table that may keep its blocks come back to them.
    if (previous != kNoRow && row == previous + 1) {
      ReadBack(block, previous);
      return InBlock(block, row);
    }
    if (KeepsLookedUpBlocks()) {
      ReadBack(block, previous, Retain::Yes);
      return InBlock(block, row);
    }
    std::size_t slot = nextCached_;
    if (cachedRows_[slot] == previous) slot = (slot + 1) % kCachedRows;
    nextCached_ = (slot + 1) % kCachedRows;
    cachedRows_[slot] = kNoRow;  // until read whole
    reader_(row, 1, CachedRow(slot));
    cachedRows_[slot] = row;
    return CachedRow(slot);
  }

  // Calls visit(row, bytes) for every row in order, reading a block at a time
  // into a buffer of its own, so building an index leaves what is held alone.
  template <typename Visit>
  void Scan(Visit visit) const {
    std::unique_ptr<char[]> loaded;
    for (std::size_t block = 0; block < blocks_.size(); ++block) {
      const std::size_t first = block * rowsPerBlock_;
      const std::size_t rows = std::min(rowsPerBlock_, count_ - first);
      const char* bytes = blocks_[block].get();
      if (!bytes) {
        if (!loaded) loaded.reset(new char[rowsPerBlock_ * recordLength_]);
        reader_(static_cast<std::uint32_t>(first), rows, loaded.get());
        bytes = loaded.get();
      }
      for (std::size_t i = 0; i < rows; ++i)
        visit(static_cast<std::uint32_t>(first + i), std::string_view(bytes + i * recordLength_, recordLength_));
    }
  }

  // Rows the file holds, left there until they are wanted.
  void Defer(std::size_t rows);

  void Append(std::string_view row);

  // Changes `bytes` at `offset` in every copy held of `row`, which the file
  // has, or is to get, changed the same way.
  void Overwrite(std::uint32_t row, std::size_t offset, std::string_view bytes);

  // Drops every block whose rows are all among the first `inFile`, which
  // the file holds as the store does.
  void DropRowsInFile(std::size_t inFile);

 private:
  static constexpr std::uint32_t kNoRow = 0xFFFFFFFFu;
  static constexpr std::size_t kNoBlock = static_cast<std::size_t>(-1);

  char* InBlock(std::size_t block, std::uint32_t row) const {
    return blocks_[block].get() + (row % rowsPerBlock_) * recordLength_;
  }
  char* CachedRow(std::size_t slot) const { return rowCache_.get() + slot * recordLength_; }
  bool KeepsLookedUpBlocks() const { return blocks_.size() <= kMaxHeldBlocks; }

  enum class Retain { No, Yes };

  // A block read back for good stays until its rows are dropped again;
  // otherwise it pushes out the one read back longest ago, or the one after
  // it when that holds the row `keep`.
  void ReadBack(std::size_t block, std::uint32_t keep = kNoRow, Retain retain = Retain::No) const;

  mutable std::vector<std::unique_ptr<char[]>> blocks_;
  mutable std::deque<std::size_t> readBack_;
  // Single rows read back for lookups, replaced in turn.
  mutable std::vector<std::uint32_t> cachedRows_;
  std::unique_ptr<char[]> rowCache_;
  mutable std::size_t nextCached_ = 0;
  mutable std::uint32_t lastRow_ = kNoRow;
  std::size_t appendBlock_ = kNoBlock;  // the block rows are appended to, kept
  Reader reader_;
  std::size_t recordLength_ = 0;
  std::size_t rowsPerBlock_ = 1;
  std::size_t count_ = 0;
  std::size_t dropped_ = 0;
};


}  // namespace ludaro::dbf
