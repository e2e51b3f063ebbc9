#include "pages/text_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace pelmora {
namespace {

constexpr std::int32_t kMax = 2147483647;
constexpr std::int32_t kMin = -2147483647 - 1;

std::string Printable(const std::u16string& text) { return ::testing::PrintToString(text.substr(0, 20)); }

TEST(TextToInt, ParsesLikeStrtolInBase10) {
  // Outside the 32-bit range the result saturates, as on the platform whose
  // long is 32 bits wide; units outside ASCII become '?': no digits, no blanks.
  // The conversion fuzz target compares every text with strtol; these are
  // the cases a user meets.
  const std::pair<std::u16string, std::int32_t> rows[] = {
      {u"007", 7},          {u"", 0},           {u" 12x", 12},          {u"-5", -5},
      {u"2147483648", kMax}, {u"4294967295", kMax}, {u"-2147483649", kMin},
      {u"\uFF11\uFF12", 0},  // fullwidth digits
      {std::u16string(5000, u'9'), kMax},  // texts of any length
  };
  for (const auto& [text, value] : rows) EXPECT_EQ(TextToInt(text), value) << Printable(text);
}

}  // namespace
}  // namespace pelmora
