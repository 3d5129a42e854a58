#pragma once

// The name each code came with first, and on which line, so that a later
// line giving the same code another name can be pointed out to the user.
// Names are kept as hashes: a code costs its characters and a few bytes,
// and two names that differ but hash alike (a chance of one in billions)
// pass as the same.

#include <cstdint>
#include <string_view>
#include <vector>

#include "import/text_set.h"

namespace ludaro {

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
  long FirstLine(std::uint32_t number) const { return lines_[number]; }

 private:
  TextSet codes_;
  std::vector<std::uint64_t> nameHashes_;
  std::vector<long> lines_;
};

}  // namespace ludaro
