#pragma once

// The name each code came with first, and on which line, so that a later
// line giving the same code another name can be pointed out to the user.
// Names are kept as hashes, so a code costs a few bytes beside what tells
// codes apart; two names that differ but hash alike pass as the same.

#include <cstdint>
#include <string_view>
#include <vector>

#include "import/text_set.h"

namespace ludaro {

// For a step that must tell every code apart exactly (it writes one row a
// code): the codes themselves are kept.
class FirstNames {
 public:
  struct Seen {
    std::uint32_t number;  // the code's place in the order codes came, from 0
    bool first;            // this line is the code's first
    long otherLine;        // the code's first line when this name differs from its name there, else 0
  };

  Seen See(std::u16string_view code, std::u16string_view name, long line);

  std::size_t Size() const { return codes_.Size(); }
  std::u16string_view Code(std::uint32_t number) const { return codes_.Text(number); }
  long FirstLine(std::uint32_t number) const { return static_cast<long>(static_cast<std::uint32_t>(seen_[number])); }

 private:
  TextSet codes_;
  std::vector<std::uint64_t> seen_;  // by number: the name's hash (high half) and the first line (low half)
};

// For a step that only warns: codes are kept as hashes too, so two codes
// that hash alike (a chance of one in 2^64) share one first name.
class HashedFirstNames {
 public:
  // The code's first line when this name differs from its name there, else 0.
  long See(std::u16string_view code, std::u16string_view name, long line);

 private:
  struct Slot {
    std::uint64_t code = 0;  // the code's hash; 0 marks an empty slot
    std::uint32_t name = 0;
    std::uint32_t line = 0;
  };
  void Grow();

  std::vector<Slot> slots_;  // open addressing, never more than three quarters full
  std::size_t used_ = 0;
};

}  // namespace ludaro
