#include "settings/settings_codec.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>
#include <vector>

namespace pelmora {
namespace {

using Block = std::vector<std::uint8_t>;

void putU32(Block& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void putText(Block& b, std::size_t at, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    b[at + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
    b[at + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
  }
}
Block bytesOf(std::span<const std::uint8_t> s) { return Block(s.begin(), s.end()); }

// Every byte non-zero: every text fills its whole width, so the block must
// come back exactly (but for the Extended header) after a decode and encode.
Block denseBlock(std::size_t size) {
  Block b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251 + 1);
  return b;
}

TEST(SettingsCodec, DecodesAnExtendedBlock) {
  Block block(kExtendedSize, 0);
  putU32(block, 0, 0xF6860001u);  // 01 00 86 F6
  putText(block, 4, u"PL-1.0.03 build 7");
  putText(block, 68, u"654321");
  putU32(block, 88, 15);                  // SmsReportInterval
  putU32(block, 2032, 0xFFFFFED4u);       // TimeZoneMinutes -300
  putText(block, 3320, u"356938035643809");

  SettingsCodec codec;
  SettingsModel model;
  ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
  EXPECT_EQ(model.MagicNumber, 0xF6860001u);
  EXPECT_EQ(codec.LayoutMagic(), 0xF6860001u);
  EXPECT_EQ(model.RomVersion, u"PL-1.0.03 build 7");
  EXPECT_EQ(model.SmsPassword, u"654321");
  EXPECT_EQ(model.SmsReportInterval, 15u);
  EXPECT_EQ(model.TimeZoneMinutes, -300);
  EXPECT_EQ(model.Imei, u"356938035643809");
}

TEST(SettingsCodec, DecodesABasicBlockWithoutHeader) {
  Block block(kBasicSize, 0);
  putText(block, 0, u"12");  // bytes 31 00 32 00
  putText(block, 1036, u"8800123");  // TrackerId

  SettingsCodec codec;
  SettingsModel model;
  model.Imei.assign(u"left over");
  ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
  EXPECT_EQ(model.MagicNumber, 0xF6860000u);
  EXPECT_EQ(model.SmsPassword, u"12");
  EXPECT_EQ(model.TrackerId, u"8800123");
  EXPECT_TRUE(model.RomVersion.empty());
  EXPECT_TRUE(model.Imei.empty());
}

TEST(SettingsCodec, ReadThenWriteGivesTheSameBytes) {
  {
    SettingsCodec codec;
    SettingsModel model;
    Block block = denseBlock(kExtendedSize);
    putU32(block, 0, 0xF6860001u);
    ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
    Block written = bytesOf(codec.encodeSettingsBlock(model));
    ASSERT_EQ(written.size(), kExtendedSize);
    for (std::size_t i = 0; i < 68; ++i) EXPECT_EQ(written[i], 0) << i;
    for (std::size_t i = 68; i < kExtendedSize; ++i) ASSERT_EQ(written[i], block[i]) << i;
  }
  {
    SettingsCodec codec;
    SettingsModel model;
    const Block block = denseBlock(kBasicSize);  // first word has no 0xF686 tag
    ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
    // Byte for byte, Opaque13[4] (3072..3115) included.
    EXPECT_EQ(bytesOf(codec.encodeSettingsBlock(model)), block);
  }
}

TEST(SettingsCodec, TextsAndTheFloatKeepTheirUnitsAndBits) {
  SettingsCodec codec;
  SettingsModel model;
  Block extended(kExtendedSize, 0);
  putU32(extended, 0, 0xF6860001u);
  std::u16string apn80;
  for (int i = 0; i < 80; ++i) apn80.push_back(static_cast<char16_t>(u'a' + i % 26));
  putText(extended, 1148, apn80);
  const std::u16string ip22 = u"192.168.100.200:65535x";  // 22 units, no terminator
  putText(extended, 1860, ip22);
  putU32(extended, 600, 0x7FA00001u);  // a NaN with a payload
  ASSERT_EQ(codec.decodeSettingsBlock(extended, model), DecodeResult::Decoded);
  EXPECT_EQ(model.ApnName.view(), apn80);
  EXPECT_EQ(model.ServerIp.view(), ip22);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(model.LowPowerAlarmVoltage), 0x7FA00001u);

  Block written = bytesOf(codec.encodeSettingsBlock(model));
  EXPECT_EQ(Block(written.begin() + 1148, written.begin() + 1348), Block(extended.begin() + 1148, extended.begin() + 1348));
  EXPECT_EQ(Block(written.begin() + 1860, written.begin() + 1904), Block(extended.begin() + 1860, extended.begin() + 1904));
  EXPECT_EQ(written[600], 0x01);
  EXPECT_EQ(written[603], 0x7F);

  // The same model written as Basic keeps the first 64 units of the APN.
  Block basic(kBasicSize, 0);
  putText(basic, 0, u"1");
  SettingsModel basicModel;
  ASSERT_EQ(codec.decodeSettingsBlock(basic, basicModel), DecodeResult::Decoded);
  basicModel.ApnName = model.ApnName;
  basicModel.LowPowerAlarmVoltage = 3.5f;
  written = bytesOf(codec.encodeSettingsBlock(basicModel));
  ASSERT_EQ(written.size(), kBasicSize);
  EXPECT_EQ(Block(written.begin() + 1080, written.begin() + 1208), Block(extended.begin() + 1148, extended.begin() + 1276));
  EXPECT_EQ(written[1208], 0);  // ApnUser untouched by the wider text
  EXPECT_EQ(Block(written.begin() + 532, written.begin() + 536), (Block{0x00, 0x00, 0x60, 0x40}));  // 3.5f
}

TEST(SettingsCodec, UnknownLayoutIsReportedAndChangesNothing) {
  SettingsCodec codec;
  SettingsModel model;
  EXPECT_TRUE(codec.encodeSettingsBlock(model).empty());  // before any decode

  Block known(kBasicSize, 0);
  putText(known, 0, u"777777");
  ASSERT_EQ(codec.decodeSettingsBlock(known, model), DecodeResult::Decoded);

  Block unknown(kExtendedSize, 0);
  unknown[0] = 0x05;
  unknown[2] = 0x86;
  unknown[3] = 0xF6;
  putText(unknown, 68, u"111111");
  EXPECT_EQ(codec.decodeSettingsBlock(unknown, model), DecodeResult::UnknownLayout);
  EXPECT_EQ(codec.LayoutMagic(), 0xF6860005u);
  EXPECT_EQ(model.SmsPassword, u"777777");
  EXPECT_EQ(model.MagicNumber, 0xF6860000u);
  EXPECT_TRUE(codec.encodeSettingsBlock(model).empty());

  // A known block afterwards works again.
  ASSERT_EQ(codec.decodeSettingsBlock(known, model), DecodeResult::Decoded);
  EXPECT_EQ(codec.encodeSettingsBlock(model).size(), kBasicSize);
}

TEST(SettingsCodec, ShortAndOverlongBlocksUseOnlyTheirOwnBytes) {
  SettingsCodec codec;
  SettingsModel model;
  Block full = denseBlock(kExtendedSize);
  putU32(full, 0, 0xF6860001u);
  ASSERT_EQ(codec.decodeSettingsBlock(full, model), DecodeResult::Decoded);
  ASSERT_FALSE(model.Imei.empty());

  // A short block of another tracker: nothing of the first image survives.
  Block shortBlock(100, 0);
  putU32(shortBlock, 0, 0xF6860001u);
  putText(shortBlock, 68, u"2468");
  ASSERT_EQ(codec.decodeSettingsBlock(shortBlock, model), DecodeResult::Decoded);
  EXPECT_EQ(model.SmsPassword, u"2468");
  EXPECT_TRUE(model.Imei.empty());
  EXPECT_TRUE(model.HttpServerDomain.empty());
  EXPECT_EQ(model.Opaque12[19], 0u);
  const Block written = bytesOf(codec.encodeSettingsBlock(model));
  ASSERT_EQ(written.size(), kExtendedSize);
  for (std::size_t i = 100; i < kExtendedSize; ++i) ASSERT_EQ(written[i], 0) << i;

  // Fewer than four bytes: the missing ones count as zero, so this is Basic.
  ASSERT_EQ(codec.decodeSettingsBlock(Block{0x31, 0x00}, model), DecodeResult::Decoded);
  EXPECT_EQ(model.SmsPassword, u"1");
  ASSERT_EQ(codec.decodeSettingsBlock(Block{}, model), DecodeResult::Decoded);
  EXPECT_EQ(model.MagicNumber, 0xF6860000u);

  // Longer than the layout: only the first 3384 bytes belong to the block.
  Block overlong(4000, 0xEE);
  putU32(overlong, 0, 0xF6860001u);
  for (std::size_t i = 4; i < kExtendedSize; ++i) overlong[i] = 0;
  ASSERT_EQ(codec.decodeSettingsBlock(overlong, model), DecodeResult::Decoded);
  EXPECT_TRUE(model.Imei.empty());
  EXPECT_EQ(codec.encodeSettingsBlock(model).size(), kExtendedSize);
}

TEST(SettingsCodec, EncodeWritesWhatThePagesChanged) {
  SettingsCodec codec;
  SettingsModel model;
  Block block(kBasicSize, 0);
  putText(block, 0, u"123456");
  putText(block, 440, u"slot four");        // KeySlot[4].SmsNumber
  putU32(block, 436, 0xA5A5A5A5u);           // KeySlot[4].Word
  putText(block, 3072, u"opaque thirteen");  // Opaque13[4], carried back
  ASSERT_EQ(codec.decodeSettingsBlock(block, model), DecodeResult::Decoded);
  EXPECT_EQ(model.Opaque13[4], u"opaque thirteen");

  model.KeySlot[4].SmsNumber.clear();
  model.TimeZoneMinutes = -720;
  const Block written = bytesOf(codec.encodeSettingsBlock(model));
  EXPECT_EQ(written[440], 0);
  EXPECT_EQ(Block(written.begin() + 436, written.begin() + 440), (Block{0xA5, 0xA5, 0xA5, 0xA5}));
  EXPECT_EQ(Block(written.begin() + 1892, written.begin() + 1896), (Block{0x30, 0xFD, 0xFF, 0xFF}));
  EXPECT_EQ(Block(written.begin() + 3072, written.begin() + 3102), Block(block.begin() + 3072, block.begin() + 3102));
}

}  // namespace
}  // namespace pelmora
