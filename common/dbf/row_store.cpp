#include "common/dbf/row_store.h"

namespace ludaro::dbf {

void RowStore::Reset(std::size_t recordLength, Reader reader) {
  blocks_.clear();
  blocks_.shrink_to_fit();
  readBack_.clear();
  reader_ = std::move(reader);
  recordLength_ = recordLength;
  rowsPerBlock_ = recordLength == 0 ? 1 : std::max<std::size_t>(1, kBlockBytes / recordLength);
  count_ = 0;
  dropped_ = 0;
  cachedRows_.assign(kCachedRows, kNoRow);
  rowCache_.reset(recordLength == 0 ? nullptr : new char[kCachedRows * recordLength]);
  nextCached_ = 0;
  lastRow_ = kNoRow;
  appendBlock_ = kNoBlock;
}

void RowStore::Defer(std::size_t rows) {
  blocks_.resize((rows + rowsPerBlock_ - 1) / rowsPerBlock_);
  count_ = rows;
  dropped_ = rows / rowsPerBlock_;
}

void RowStore::Append(std::string_view row) {
  if (count_ == blocks_.size() * rowsPerBlock_) blocks_.emplace_back(new char[rowsPerBlock_ * recordLength_]);
  const std::size_t block = count_ / rowsPerBlock_;
  if (block != appendBlock_) {
    if (!blocks_[block]) ReadBack(block, lastRow_);
    // The block is to hold rows the file lacks, so it must stay.
    readBack_.erase(std::remove(readBack_.begin(), readBack_.end(), block), readBack_.end());
    appendBlock_ = block;
  }
  std::copy(row.begin(), row.end(), InBlock(block, static_cast<std::uint32_t>(count_)));
  ++count_;
}

void RowStore::Overwrite(std::uint32_t row, std::size_t offset, std::string_view bytes) {
  const std::size_t block = row / rowsPerBlock_;
  if (blocks_[block]) std::copy(bytes.begin(), bytes.end(), InBlock(block, row) + offset);
  for (std::size_t slot = 0; slot < kCachedRows; ++slot)
    if (cachedRows_[slot] == row) std::copy(bytes.begin(), bytes.end(), CachedRow(slot) + offset);
}

void RowStore::DropRowsInFile(std::size_t inFile) {
  const std::size_t whole = std::min(inFile, count_) / rowsPerBlock_;
  for (; dropped_ < whole; ++dropped_) {
    blocks_[dropped_].reset();
    readBack_.erase(std::remove(readBack_.begin(), readBack_.end(), dropped_), readBack_.end());
  }
}

void RowStore::ReadBack(std::size_t block, std::uint32_t keep, Retain retain) const {
  if (retain == Retain::No && readBack_.size() == kMaxReadBack) {
    const bool keepFront = keep != kNoRow && readBack_.front() == keep / rowsPerBlock_;
    const auto evicted = readBack_.begin() + (keepFront ? 1 : 0);
    blocks_[*evicted].reset();
    readBack_.erase(evicted);
  }
  const std::size_t first = block * rowsPerBlock_;
  std::unique_ptr<char[]> loaded(new char[rowsPerBlock_ * recordLength_]);
  reader_(static_cast<std::uint32_t>(first), std::min(rowsPerBlock_, count_ - first), loaded.get());
  blocks_[block] = std::move(loaded);
  if (retain == Retain::No) readBack_.push_back(block);
}

}  // namespace ludaro::dbf
