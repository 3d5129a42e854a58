#include "common/dbf/mdx_numeric_key.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace ludaro::dbf {
namespace {

// A double carries 15 significant decimal digits faithfully; more would
// only spell out binary noise (0.1 as 0.1000000000000000055...).
constexpr int kSignificantDigits = 15;
constexpr int kPointBias = 0x34;
constexpr int kMaxDigits = 20;  // ten bytes of two digits

}  // namespace

std::optional<NumericKey> EncodeNumericKey(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  NumericKey key;
  if (value == 0) {  // also -0: dBase has no negative zero
    key.bytes[0] = static_cast<char>(kPointBias);
    key.bytes[1] = 1;
    return key;
  }

  // d.dddddddddddddde[+-]x: the digits and the power of ten of the first.
  char text[32];
  const auto result =
      std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, kSignificantDigits - 1);
  if (result.ec != std::errc()) return std::nullopt;
  const std::string printed(text, result.ptr);
  const std::size_t e = printed.find('e');
  std::string digits = printed.substr(0, 1) + printed.substr(2, e - 2);
  const int exponent = std::atoi(printed.c_str() + e + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const int point = kPointBias + exponent + 1;
  if (point < 0 || point > 0xFF || static_cast<int>(digits.size()) > kMaxDigits) return std::nullopt;

  key.bytes[0] = static_cast<char>(point);
  key.bytes[1] = static_cast<char>((digits.size() << 2 | 1) | (value < 0 ? 0x80 : 0));
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int digit = digits[i] - '0';
    key.bytes[2 + i / 2] = static_cast<char>(key.bytes[2 + i / 2] | (i % 2 == 0 ? digit << 4 : digit));
  }
  double rounded = 0;
  std::from_chars(printed.data(), printed.data() + printed.size(), rounded);
  key.value = value < 0 ? -rounded : rounded;
  return key;
}

}  // namespace ludaro::dbf
