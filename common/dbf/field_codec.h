#pragma once

// Conversions between the values the program handles and the bytes of one
// field in a record. Text is stored in a single-byte or double-byte code page,
// blank-padded; numbers as right-aligned decimal text; logicals as T/F.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/dbf/dbf_header.h"

namespace ludaro::dbf {

// Text of a character field: trailing blanks (and NULs some writers pad
// with) dropped, decoded from `codePage`.
std::u16string DecodeText(std::string_view stored, unsigned codePage);

// `text` cut to `width` characters, encoded in `codePage` (characters the code
// page lacks become '?'), cut again on a character boundary if a double-byte
// code page made it longer than `width` bytes, padded with blanks.
std::string EncodeText(std::u16string_view text, int width, unsigned codePage);
// The same written over the `width` bytes of a field at `field`.
void EncodeTextInto(std::u16string_view text, int width, unsigned codePage, char* field);

// `text` encoded without cutting or padding: what a stored value must equal
// (after its trailing blanks are dropped) to match `text` exactly.
std::string EncodeForComparison(std::u16string_view text, unsigned codePage);

// A stored number: nullopt when the field is blank; throws the message
// "'<text>' is not a valid number" (without context) when it is not a number.
std::optional<double> DecodeNumber(std::string_view stored);

// `value` as right-aligned text of `width` with `decimals` digits after the
// point. Returns nullopt when it does not fit or is not finite.
std::optional<std::string> EncodeNumber(double value, int width, int decimals);

// A logical: 'T','t','Y','y' true; 'F','f','N','n' false; anything else blank.
std::optional<bool> DecodeLogical(char stored);

// Whole number in decimal (optional sign, blanks around); nullopt otherwise.
std::optional<std::int64_t> ParseWholeNumber(std::u16string_view text);

// Decimal number (optional sign, digits, point, exponent); nullopt otherwise.
std::optional<double> ParseDecimalNumber(std::u16string_view text);

// Nearest whole number, halves to even; nullopt outside the 64-bit range.
std::optional<std::int64_t> RoundHalfToEven(double value);

// Shortest decimal text that reads back as `value` ("4", "4.5", "-0.25").
std::string ShortestDecimal(double value);

}  // namespace ludaro::dbf
