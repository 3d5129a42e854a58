#include "import/abbreviation_set.h"

#include <gtest/gtest.h>

#include "common/case_fold.h"

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

}  // namespace
}  // namespace ludaro
