#include "import/group_abbreviations.h"

#include <gtest/gtest.h>

#include <string>

#include "common/utf.h"
#include "import/abbreviation_set.h"

namespace ludaro {
namespace {

// Tens of thousands of one name: every abbreviation unique, non-empty and
// within the field, in time linear in their number (a rescan from the first
// candidate each time would take minutes here).
TEST(GroupAbbreviationsTest, ThousandsOfOneNameStayUniqueWithinTheField) {
  constexpr int kMany = 30000;
  for (const std::u16string base : {u"ESO2A", u"CICLO2ABCD", u"BACH1Ciencias"}) {
    SCOPED_TRACE(U16ToUtf8(base));
    GroupAbbreviations groups;
    AbbreviationSet seen;
    for (int i = 0; i < kMany; ++i) {
      const std::u16string group = groups.ForGroup(base);
      const std::u16string subgroup = groups.ForSubgroup(base.substr(0, 10));
      for (const auto& abbreviation : {group, subgroup}) {
        ASSERT_FALSE(abbreviation.empty());
        ASSERT_LE(abbreviation.size(), GroupAbbreviations::kWidth) << U16ToUtf8(abbreviation);
        ASSERT_TRUE(seen.Add(abbreviation)) << "twice: " << U16ToUtf8(abbreviation);
      }
    }
  }
}

TEST(GroupAbbreviationsTest, ReservedAbbreviationsAreNotHandedOutAgain) {
  GroupAbbreviations abbreviations;
  for (const char16_t* stored : {u"ESO2A", u"eso2a1", u"ESO2A3"}) abbreviations.Reserve(stored);
  EXPECT_EQ(abbreviations.ForGroup(u"Eso2a"), u"Eso2aA");
  EXPECT_EQ(abbreviations.ForSubgroup(u"ESO2A"), u"ESO2A2");
  EXPECT_EQ(abbreviations.ForSubgroup(u"ESO2A"), u"ESO2A4");
}

}  // namespace
}  // namespace ludaro
