#include "settings/settings_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/settings/tracker_image.h"

namespace pelmora {
namespace {

Block bytesOf(std::span<const std::uint8_t> s) { return Block(s.begin(), s.end()); }

// A write gives back every byte it read, bytes after a text's terminator
// included, but for the Extended header and the fields whose value changed.
TEST(SettingsCodec, WriteIsTheImageReadWithOnlyTheChangedFieldsLaidOver) {
  for (const bool extended : {false, true}) {
    const Block read = trackerImage(extended, true);  // every text at its full width or with bytes after its end
    const std::size_t apn = extended ? 1148 : 1080, tz = extended ? 2032 : 1892;
    SettingsCodec codec;
    SettingsModel model;
    ASSERT_EQ(codec.decodeSettingsBlock(read, model), DecodeResult::Decoded);
    Block expected = read;
    if (extended) std::fill_n(expected.begin(), 68, 0);
    model.TimeZoneMinutes = -720;
    const std::u16string apn80(80, u'm');
    model.ApnName.assign(apn80);
    const std::uint8_t tzBytes[] = {0x30, 0xFD, 0xFF, 0xFF};
    std::copy(std::begin(tzBytes), std::end(tzBytes), expected.begin() + static_cast<std::ptrdiff_t>(tz));
    std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(apn), extended ? 200 : 128, 0);
    putText(expected, apn, std::u16string_view(apn80).substr(0, extended ? 80 : 64));  // Basic keeps 64 units
    EXPECT_EQ(bytesOf(codec.encodeSettingsBlock(model)), expected);
  }
}

// A text given with a NUL inside keeps only what comes before it, and nothing
// of the value it replaces; cutting at the capacity is the page rows' check.
TEST(FixedText, KeepsNothingAfterANul) {
  FixedText<6> text(u"482915");
  text.assign(std::u16string_view(u"ab\0cd", 5));
  EXPECT_EQ(text, FixedText<6>(u"ab"));  // compares every unit, those after the terminator included
}

// A refused block (unknown layout, shorter than its layout) leaves the model,
// the layout and the image read untouched: the codec fuzz target checks this
// on every block it makes, after a tracker of the other layout was read.

}  // namespace
}  // namespace pelmora
