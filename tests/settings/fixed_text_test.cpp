#include "settings/fixed_text.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(FixedText, HoldsAtMostItsCapacityAndStopsAtNul) {
  FixedText<6> text;
  EXPECT_TRUE(text.empty());
  EXPECT_TRUE(text.assign(u"482915"));
  EXPECT_EQ(text.view(), u"482915");
  EXPECT_EQ(text.c_str()[6], u'\0');  // full width and still terminated

  EXPECT_FALSE(text.assign(u"12345678"));  // cut, and says so
  EXPECT_EQ(text.view(), u"123456");

  EXPECT_TRUE(text.assign(std::u16string_view(u"ab\0cd", 5)));
  EXPECT_EQ(text.view(), u"ab");
  EXPECT_EQ(text.storage()[3], u'\0');  // nothing of the earlier value remains

  text.clear();
  EXPECT_EQ(text.size(), 0u);
}

}  // namespace
}  // namespace pelmora
