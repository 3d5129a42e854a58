#include "common/utf.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace ludaro {
namespace {

// Names each case of a table after its `name`.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& test) {
  return test.param.name;
}

constexpr char16_t R = kReplacementCharacter;

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::u16string text;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

class Utf8DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8DecodeTest, DecodesWithOneReplacementPerMaximalInvalidSubpart) {
  EXPECT_EQ(Utf8ToU16(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8DecodeTest,
    testing::Values(
        DecodeCase{"Empty", "", u""},
        DecodeCase{"Ascii", "Aula 3", u"Aula 3"},
        DecodeCase{"NulByteIsKept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        DecodeCase{"TwoBytes", "Castel\xC3\xA1", u"Castel\u00E1"},
        DecodeCase{"ThreeBytes", "\xE2\x82\xAC", u"\u20AC"},
        DecodeCase{"LargestInBmp", "\xEF\xBF\xBF", u"\uFFFF"},
        DecodeCase{"FourBytesBecomeASurrogatePair", "\xF0\x9F\x98\x80", u"\U0001F600"},
        DecodeCase{"LargestCodePoint", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        DecodeCase{"ByteOrderMarkIsAnOrdinaryCharacter", "\xEF\xBB\xBFh", u"\uFEFFh"},
        DecodeCase{"Latin1LetterBeforeALetter", "caf\xE9s", {u'c', u'a', u'f', R, u's'}},
        DecodeCase{"Latin1LetterAtTheEnd", "caf\xE9", {u'c', u'a', u'f', R}},
        DecodeCase{"LoneContinuationBytes", "\x80\xBF", {R, R}},
        DecodeCase{"NeverALeadByte", "\xC0\xC1\xF5\xFF", {R, R, R, R}},
        DecodeCase{"OverlongTwoBytes", "\xC0\xAF", {R, R}},
        DecodeCase{"OverlongThreeBytes", "\xE0\x80\xAF", {R, R, R}},
        DecodeCase{"OverlongFourBytes", "\xF0\x80\x80\xAF", {R, R, R, R}},
        DecodeCase{"EncodedSurrogate", "\xED\xA0\x80", {R, R, R}},
        DecodeCase{"AboveLargestCodePoint", "\xF4\x90\x80\x80", {R, R, R, R}},
        DecodeCase{"TruncatedAtTheEndIsOneReplacement", "a\xF0\x9F\x98", {u'a', R}},
        DecodeCase{"TruncatedBeforeAsciiKeepsTheAscii", "\xE2\x82z", {R, u'z'}},
        DecodeCase{"TruncatedBeforeAnotherLead", "\xE2\xC3\xA9", {R, u'\u00E9'}},
        // The example of the Unicode standard for the maximal-subpart practice.
        DecodeCase{"UnicodeStandardExample", "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
                   {u'a', R, R, R, u'b', R, u'c', R, R, u'd'}}),
    CaseName<DecodeCase>);

struct EncodeCase {
  const char* name;
  std::u16string text;
  std::string bytes;
};

void PrintTo(const EncodeCase& c, std::ostream* out) { *out << c.name; }

class Utf8EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(Utf8EncodeTest, EncodesAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(U16ToUtf8(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8EncodeTest,
    testing::Values(EncodeCase{"Empty", u"", ""},
                    EncodeCase{"AllLengths", u"a\u00E1\u20AC\U0001F600", "a\xC3\xA1\xE2\x82\xAC\xF0\x9F\x98\x80"},
                    EncodeCase{"HighSurrogateAtTheEnd", {u'a', char16_t(0xD83D)}, "a\xEF\xBF\xBD"},
                    EncodeCase{"LowSurrogateAlone", {char16_t(0xDE00), u'b'}, "\xEF\xBF\xBD" "b"},
                    EncodeCase{"SurrogatesInTheWrongOrder", {char16_t(0xDE00), char16_t(0xD83D)},
                               "\xEF\xBF\xBD\xEF\xBF\xBD"}),
    CaseName<EncodeCase>);

TEST(Utf8RoundTripTest, EveryCharacterSurvivesEncodingAndDecoding) {
  std::u16string text;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    if (c < 0xD800 || c > 0xDFFF) text.push_back(static_cast<char16_t>(c));
  }
  text += u"\U00010000\U0001F600\U0010FFFF";
  EXPECT_EQ(Utf8ToU16(U16ToUtf8(text)), text);
}

}  // namespace
}  // namespace ludaro
