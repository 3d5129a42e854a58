#include "common/dbf/field_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "common/error.h"

namespace ludaro::dbf {
namespace {

TEST(FieldCodecTest, RoundsHalvesToEven) {
  struct Case {
    double value;
    std::int64_t expected;
  };
  for (const Case& c : {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{3.5, 4}, Case{-0.5, 0}, Case{-1.5, -2},
                        Case{-2.5, -2}, Case{2.4999, 2}, Case{2.5001, 3}, Case{7.0, 7}}) {
    EXPECT_EQ(RoundHalfToEven(c.value), c.expected) << c.value;
  }
  EXPECT_EQ(RoundHalfToEven(1e19), std::nullopt);
  EXPECT_EQ(RoundHalfToEven(std::nan("")), std::nullopt);
}

TEST(FieldCodecTest, EncodesNumbersRightAlignedOrRefusesWhatDoesNotFit) {
  struct Case {
    double value;
    int width, decimals;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {42, 11, 0, "         42"},
      {-7, 11, 0, "         -7"},
      {2.5, 11, 0, "          2"},  // halves to even, as a read rounds
      {3.5, 11, 0, "          4"},
      {4, 20, 4, "              4.0000"},
      {-0.125, 20, 4, "             -0.1250"},
      {-0.0, 5, 0, "    0"},
      {12345678901.0, 11, 0, "12345678901"},
      {123456789012.0, 11, 0, std::nullopt},
      {99999.5, 7, 1, "99999.5"},
      {std::nan(""), 11, 0, std::nullopt},
      {INFINITY, 11, 0, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeNumber(c.value, c.width, c.decimals), c.expected) << c.value;
}

TEST(FieldCodecTest, DecodesStoredNumbers) {
  EXPECT_EQ(DecodeNumber("         42"), 42.0);
  EXPECT_EQ(DecodeNumber("  -3.2500"), -3.25);
  EXPECT_EQ(DecodeNumber("+5"), 5.0);
  EXPECT_EQ(DecodeNumber("           "), std::nullopt);
  EXPECT_EQ(DecodeNumber(std::string("\0\0\0", 3)), std::nullopt);
  for (const char* bad : {"*****", "4x", "1.2.3", "--1", "nan", "inf"}) {
    EXPECT_THROW(DecodeNumber(bad), Error) << bad;
  }
}

TEST(FieldCodecTest, ParsesWholeAndDecimalNumbersFromText) {
  EXPECT_EQ(ParseWholeNumber(u"42"), 42);
  EXPECT_EQ(ParseWholeNumber(u" -17 "), -17);
  EXPECT_EQ(ParseWholeNumber(u"+3"), 3);
  for (const char16_t* bad : {u"", u"  ", u"4.0", u"4x", u"x4", u"٤", u"99999999999999999999"}) {
    EXPECT_EQ(ParseWholeNumber(bad), std::nullopt);
  }
  EXPECT_EQ(ParseDecimalNumber(u"4.25"), 4.25);
  EXPECT_EQ(ParseDecimalNumber(u"4,25"), std::nullopt);
}

TEST(FieldCodecTest, EncodesTextCutToWidthWithReplacement) {
  EXPECT_EQ(EncodeText(u"Aula", 6, 1252), "Aula  ");
  EXPECT_EQ(EncodeText(u"Matemáticas", 4, 1252), "Mate");
  EXPECT_EQ(EncodeText(u"Niño", 4, 1252), "Ni\xF1o");
  EXPECT_EQ(EncodeText(u"a\u0101b", 3, 1252), "a?b");  // outside cp1252
  EXPECT_EQ(EncodeText(u"€", 1, 1252), "\x80");
  EXPECT_EQ(DecodeText("Ni\xF1o   ", 1252), u"Niño");
  EXPECT_EQ(DecodeText(std::string("ab\0\0", 4), 1252), u"ab");
  EXPECT_EQ(DecodeText("  lead", 1252), u"  lead");
}

TEST(FieldCodecTest, DecodesLogicals) {
  for (char c : {'T', 't', 'Y', 'y'}) EXPECT_EQ(DecodeLogical(c), true) << c;
  for (char c : {'F', 'f', 'N', 'n'}) EXPECT_EQ(DecodeLogical(c), false) << c;
  for (char c : {'?', ' ', '\0', 'x'}) EXPECT_EQ(DecodeLogical(c), std::nullopt) << int(c);
}

}  // namespace
}  // namespace ludaro::dbf
