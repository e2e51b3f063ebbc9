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
    EXPECT_TRUE(codec.hasImage());
    EXPECT_EQ(bytesOf(codec.readImage()), read);

    Block expected = read;
    if (extended) std::fill_n(expected.begin(), 68, 0);
    EXPECT_EQ(bytesOf(codec.encodeSettingsBlock(model)), expected);

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

TEST(SettingsCodec, RefusedBlocksChangeNothing) {
  SettingsCodec codec;
  SettingsModel model;
  EXPECT_FALSE(codec.hasImage());
  EXPECT_TRUE(codec.encodeSettingsBlock(model).empty());

  Block known(kBasicSize, 0);
  putText(known, 0, u"777777");
  ASSERT_EQ(codec.decodeSettingsBlock(known, model), DecodeResult::Decoded);
  const SettingsModel decoded = model;

  Block unknown = trackerImage(true, true);
  unknown[0] = 0x05;
  Block shortExtended = trackerImage(true, true);
  shortExtended.resize(kExtendedSize - 1);
  struct Case {
    Block data;
    DecodeResult result;
    std::uint32_t word;
  };
  const Case cases[] = {
      {unknown, DecodeResult::UnknownLayout, 0xF6860005u},
      {shortExtended, DecodeResult::Incomplete, kExtendedMagic},
      {Block(kBasicSize - 1, 0x31), DecodeResult::Incomplete, kBasicMagic},
      {Block{0x31, 0x00}, DecodeResult::Incomplete, kBasicMagic},  // missing bytes count as zero
      {Block{}, DecodeResult::Incomplete, kBasicMagic},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.data.size());
    EXPECT_EQ(settingsLayoutWord(c.data), c.word);
    model.SmsReportInterval = 99;  // an edit on the pages survives too
    EXPECT_EQ(codec.decodeSettingsBlock(c.data, model), c.result);
    EXPECT_EQ(model.SmsReportInterval, 99u);
    model.SmsReportInterval = decoded.SmsReportInterval;
    EXPECT_EQ(model.SmsPassword, decoded.SmsPassword);
    EXPECT_EQ(codec.LayoutMagic(), kBasicMagic);
    EXPECT_EQ(bytesOf(codec.readImage()), known);
    EXPECT_EQ(bytesOf(codec.encodeSettingsBlock(model)), known);
  }

  // Longer than the layout: only the layout's bytes belong to the block.
  Block overlong = trackerImage(true, true);
  overlong.resize(4000, 0xEE);
  ASSERT_EQ(codec.decodeSettingsBlock(overlong, model), DecodeResult::Decoded);
  EXPECT_EQ(bytesOf(codec.readImage()), Block(overlong.begin(), overlong.begin() + kExtendedSize));
}

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
