#pragma once

// Numeric keys of dBase IV and dBase 7 indexes: a number as 12 bytes of
// packed decimal, the form dBase keeps its numbers in.
//
//   byte 0     0x34 + the number of digits before the decimal point (below
//              0x34 for numbers under 0.1: minus the zeros after the point)
//   byte 1     the number of significant digits times 4, plus 1; plus 0x80
//              when the number is negative
//   bytes 2-11 the significant digits, two to a byte, high nibble first,
//              without leading or trailing zeros; the rest zero
//
// Zero is 0x34 0x01 followed by zeros: 20.5 is 36 0D 20 50 00 ...

#include <array>
#include <cstddef>
#include <optional>

namespace ludaro::dbf {

inline constexpr std::size_t kNumericKeySize = 12;

struct NumericKey {
  std::array<char, kNumericKeySize> bytes{};
  // The number the key stands for (the value rounded to 15 significant
  // digits), so sorting by it sorts the keys in dBase's numeric order.
  double value = 0;
};

// Nullopt when `value` is not finite or too large or small for the format.
std::optional<NumericKey> EncodeNumericKey(double value);

}  // namespace ludaro::dbf
