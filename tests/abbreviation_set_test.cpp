#include "import/abbreviation_set.h"

#include <gtest/gtest.h>

#include <string>

#include "common/case_fold.h"
#include "common/error.h"
#include "common/utf.h"

namespace ludaro {
namespace {

TEST(CaseFoldTest, FoldsTheCapitalsOfLatinAlphabets) {
  EXPECT_EQ(FoldCase(u"ÁLVAREZ NÚÑEZ, ÓSCAR"), u"álvarez núñez, óscar");
  EXPECT_EQ(FoldCase(u"ÇÜÖÄ ŁŚŽ ĲŸ"), u"çüöä łśž ĳÿ");
  EXPECT_EQ(FoldCase(u"× ß ı ĸ ŉ ſ 1-A"), u"× ß ı ĸ ŉ ſ 1-a");  // no capital pair
}

TEST(AbbreviationSetTest, FindsAbbreviationsWhateverTheirLetterCase) {
  AbbreviationSet used;
  EXPECT_TRUE(used.Add(u"Física1"));
  EXPECT_TRUE(used.Contains(u"FÍSICA1"));
  EXPECT_FALSE(used.Add(u"física1"));
  EXPECT_FALSE(used.Contains(u"Fisica1"));  // an accent is not a letter case
  EXPECT_EQ(used.Size(), 1u);
}

// Enough abbreviations that the table grows many times over, in many
// letter cases: each is added once and found in any other letter case.
TEST(AbbreviationSetTest, KeepsEveryAbbreviationUpToTheFieldWidth) {
  AbbreviationSet used;
  for (int n = 0; n < 50000; ++n) {
    const std::u16string abbreviation = u"Gr" + Utf8ToU16(std::to_string(n)) + (n % 2 ? u"É" : u"é");
    ASSERT_TRUE(used.Add(abbreviation)) << n;
    ASSERT_FALSE(used.Add(FoldCase(abbreviation))) << n;
  }
  EXPECT_EQ(used.Size(), 50000u);
  EXPECT_TRUE(used.Contains(u"GR49999É"));
  EXPECT_FALSE(used.Contains(u"GR50000É"));
  EXPECT_FALSE(used.Contains(u"Gr4999"));

  EXPECT_TRUE(used.Add(u"ABCDEFGHIJ"));
  EXPECT_TRUE(used.Contains(u"abcdefghij"));
  EXPECT_FALSE(used.Contains(u"ABCDEFGHIJK"));
  EXPECT_THROW(used.Add(u"ABCDEFGHIJK"), Error);
  EXPECT_TRUE(used.Add(u""));
  EXPECT_FALSE(used.Add(u""));
}

}  // namespace
}  // namespace ludaro
