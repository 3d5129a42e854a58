#pragma once

// The abbreviations a step has handed out, searched without regard to letter
// case. Every abbreviation fits a 10-character field, so the folded keys are
// kept side by side in one array with an open-addressed table of their
// positions: testing a candidate costs the same for the tenth row as for the
// millionth, and a key costs a few dozen bytes rather than a heap node and a
// string of its own.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ludaro {

class AbbreviationSet {
 public:
  static constexpr std::size_t kMaxLength = 10;

  // Nothing longer than kMaxLength is ever present.
  bool Contains(std::u16string_view abbreviation) const;
  // False when an abbreviation equal to it but for letter case is present.
  // Throws ludaro::Error for one longer than kMaxLength.
  bool Add(std::u16string_view abbreviation);
  std::size_t Size() const { return keys_.size(); }

 private:
  struct Key {
    std::array<char16_t, kMaxLength> folded{};
    std::uint8_t length = 0;
  };

  // A slot holds a key's position plus one in its low bits (0: empty) and
  // the top bits of the key's hash above them, so a probe passes over most
  // other keys without reading them.
  static constexpr int kPositionBits = 24;
  static constexpr std::uint32_t kPositionMask = (std::uint32_t{1} << kPositionBits) - 1;

  static Key Fold(std::u16string_view abbreviation);
  static std::uint32_t TagOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 56) << kPositionBits; }
  static std::uint64_t HashOf(const Key& key);
  static bool Same(const Key& a, const Key& b);
  // The slot holding `key`, or the empty slot where it would go.
  std::size_t Probe(const Key& key, std::uint64_t hash) const;
  void Grow();

  std::vector<Key> keys_;
  // Never more than half full.
  std::vector<std::uint32_t> slots_;
};

}  // namespace ludaro
