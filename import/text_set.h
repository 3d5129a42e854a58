#pragma once

// Texts of any length compared exactly, such as the codes a step has seen
// in its input. They are kept one after another in a single buffer with an
// open-addressed table of their numbers, so a text costs its characters and
// a few bytes rather than a heap node and a string of its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ludaro {

class TextSet {
 public:
  // False when the text is already present.
  bool Insert(std::u16string_view text);
  // The text's number, its place in the order texts were first added (from
  // 0); a new text is added.
  std::uint32_t Add(std::u16string_view text);
  bool Contains(std::u16string_view text) const;
  std::optional<std::uint32_t> Find(std::u16string_view text) const;
  std::u16string_view Text(std::uint32_t number) const;
  std::size_t Size() const { return ends_.size(); }

 private:
  // The slot holding `text`, or the empty slot where it would go.
  std::size_t Probe(std::u16string_view text, std::uint32_t hash) const;
  void Grow();

  std::u16string characters_;
  std::vector<std::size_t> ends_;  // where each text ends in characters_
  // A text's number plus one in the low half (0: an empty slot) and its hash
  // in the high half, which places it and lets a probe pass over other texts
  // without reading them. Never more than half full.
  std::vector<std::uint64_t> slots_;
};

}  // namespace ludaro
