#include "pages/text_conversion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "pages/control_text.h"
#include "pages/testing/fake_page_controls.h"

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

TEST(ControlText, KeepsATextForFiftyReadsAndSkipsAbsentControls) {
  constexpr TemplateItem kItems[] = {
      {1, ItemKind::Edit, StyleNone, {}, {}},
      {2, ItemKind::Edit, StyleNone, {}, {}},
  };
  const DialogTemplate dialog{0, {}, 0, 0, {}, 0, kItems};
  FakePageControls controls(dialog);
  controls.setText(1, u"first");
  controls.setText(2, u"other");  // same length: a reused slot keeps its buffer

  ControlText texts;
  EXPECT_EQ(texts.read(controls, 99), u"");
  const std::u16string_view first = texts.read(controls, 1);
  EXPECT_EQ(first, u"first");
  for (int i = 0; i < 100; ++i) EXPECT_EQ(texts.read(controls, 99), u"");
  for (int i = 0; i < ControlText::kSlotCount - 1; ++i) EXPECT_EQ(texts.read(controls, 2), u"other");
  EXPECT_EQ(first, u"first") << "49 further reads leave the text alone";
  texts.read(controls, 2);
  EXPECT_EQ(first, u"other") << "the 50th further read reuses its slot";
}

}  // namespace
}  // namespace pelmora
