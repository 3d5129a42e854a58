#include "import/text_set.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "common/utf.h"

namespace ludaro {
namespace {

// Texts that differ only in length, letter case or a character at either
// end, and enough of them that the table grows many times over: every one
// is told apart from every other, as a std::set tells them.
TEST(TextSetTest, TellsApartEveryTextAsASetDoes) {
  TextSet texts;
  std::set<std::u16string> reference;
  using namespace std::string_literals;
  const std::u16string stems[] = {u""s, u"a"s, u"A"s, u"aa"s, u"profesor-00000000000000000001"s, u"ñ\0x"s, u"x\0"s};
  for (int round = 0; round < 2; ++round) {
    for (int n = 0; n < 20000; ++n) {
      for (const auto& stem : stems) {
        const std::u16string text = n % 3 == 0 ? stem : stem + Utf8ToU16(std::to_string(n));
        ASSERT_EQ(texts.Insert(text), reference.insert(text).second) << U16ToUtf8(text);
      }
    }
  }
  EXPECT_EQ(texts.Size(), reference.size());
  EXPECT_TRUE(texts.Contains(u"aa19999"));
  EXPECT_FALSE(texts.Contains(u"aa20000"));
  EXPECT_FALSE(texts.Contains(u"Aa1"));
}

// A text's number is its place in the order texts were first added, so a
// number can index an array kept beside the set.
TEST(TextSetTest, NumbersTextsInTheOrderFirstAdded) {
  TextSet texts;
  EXPECT_FALSE(texts.Find(u"").has_value());
  EXPECT_EQ(texts.Add(u"ESO1"), 0u);
  EXPECT_EQ(texts.Add(u""), 1u);
  EXPECT_EQ(texts.Add(u"eso1"), 2u);
  EXPECT_EQ(texts.Add(u"ESO1"), 0u);
  EXPECT_FALSE(texts.Insert(u""));
  EXPECT_EQ(texts.Find(u"eso1"), std::optional<std::uint32_t>(2));
  EXPECT_FALSE(texts.Find(u"ESO").has_value());
  EXPECT_EQ(texts.Text(2), u"eso1");
  EXPECT_EQ(texts.Text(1), u"");
  EXPECT_EQ(texts.Size(), 3u);
}

}  // namespace
}  // namespace ludaro
