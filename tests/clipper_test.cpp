#include "common/clipper.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace ludaro {
namespace {

// Names each case of a table after its `name`.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& test) {
  return test.param.name;
}

struct ClipperCase {
  const char* name;
  std::u16string text;
  std::u16string ltrim;
  std::u16string rtrim;
  std::u16string alltrim;
  std::u16string capitals;
  std::u16string initials;
};

void PrintTo(const ClipperCase& c, std::ostream* out) { *out << c.name; }

class ClipperTest : public testing::TestWithParam<ClipperCase> {};

TEST_P(ClipperTest, AllFiveHelpers) {
  const ClipperCase& c = GetParam();
  EXPECT_EQ(LTrim(c.text), c.ltrim);
  EXPECT_EQ(RTrim(c.text), c.rtrim);
  EXPECT_EQ(AllTrim(c.text), c.alltrim);
  EXPECT_EQ(Capitals(c.text), c.capitals);
  EXPECT_EQ(Initials(c.text), c.initials);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ClipperTest,
    testing::Values(
        //          name, text, LTrim, RTrim, AllTrim, Capitals, Initials
        ClipperCase{"Empty", u"", u"", u"", u"", u"", u""},
        ClipperCase{"OnlySpaces", u"   ", u"", u"", u"", u"", u"  "},
        ClipperCase{"OneSpace", u" ", u"", u"", u"", u"", u""},
        ClipperCase{"SpacesAroundAndInside", u"  Aula 3  ", u"Aula 3  ", u"  Aula 3", u"Aula 3", u"A", u" A3 "},
        ClipperCase{"InnerSpacesAreNotCollapsed", u"a  b", u"a  b", u"a  b", u"a  b", u"", u" b"},
        ClipperCase{"NameWithComma", u"García López, Ana", u"García López, Ana", u"García López, Ana",
                    u"García López, Ana", u"GLA", u"LA"},
        ClipperCase{"CapitalsWithDiacriticsAreDropped", u"Ángel Núñez ÇÑ", u"Ángel Núñez ÇÑ", u"Ángel Núñez ÇÑ",
                    u"Ángel Núñez ÇÑ", u"N", u"NÇ"},
        ClipperCase{"InitialsOfASubject", u"Lingua Castelá e Literatura", u"Lingua Castelá e Literatura",
                    u"Lingua Castelá e Literatura", u"Lingua Castelá e Literatura", u"LCL", u"CeL"},
        ClipperCase{"RunOfSpacesGivesSpaces", u"Ciencias  Naturais", u"Ciencias  Naturais", u"Ciencias  Naturais",
                    u"Ciencias  Naturais", u"CN", u" N"},
        ClipperCase{"LeadingSpaceGivesTheSecondCharacter", u" xy z", u"xy z", u" xy z", u"xy z", u"", u"xz"},
        ClipperCase{"NoSpaceNoInitials", u"Matemáticas", u"Matemáticas", u"Matemáticas", u"Matemáticas", u"M", u""},
        ClipperCase{"NoLetterAToZ", u"123 ñ-é", u"123 ñ-é", u"123 ñ-é", u"123 ñ-é", u"", u"ñ"},
        ClipperCase{"TabAndNoBreakSpaceAreNotBlanks", u"\t A \u00A0", u"\t A \u00A0", u"\t A \u00A0",
                    u"\t A \u00A0", u"A", u"A\u00A0"}),
    CaseName<ClipperCase>);

}  // namespace
}  // namespace ludaro
