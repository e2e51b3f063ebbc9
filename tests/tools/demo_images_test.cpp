#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/simtracker/demo_images.h"

namespace pelmora::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::ElementsAre;

std::uint32_t word(const Bytes& image, std::size_t offset) {
  return static_cast<std::uint32_t>(image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16) |
         static_cast<std::uint32_t>(image[offset + 3]) << 24;
}

std::u16string text(const Bytes& image, std::size_t offset, std::size_t units) {
  std::u16string out;
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t unit = static_cast<char16_t>(image[offset + 2 * i] | image[offset + 2 * i + 1] << 8);
    if (unit == 0) break;
    out.push_back(unit);
  }
  return out;
}

TEST(DemoImages, FieldsAtTheirOffsets) {
  const Bytes basic = basicDemoImage();
  const Bytes extended = extendedDemoImage();
  ASSERT_EQ(basic.size(), 3180u);
  ASSERT_EQ(extended.size(), 3384u);
  EXPECT_THAT(Bytes(extended.begin(), extended.begin() + 4), ElementsAre(0x01, 0x00, 0x86, 0xF6));
  EXPECT_THAT(Bytes(basic.begin(), basic.begin() + 4), ElementsAre('1', 0, '2', 0));  // SmsPassword, no magic

  struct Row {
    const char* field;
    std::size_t basicOffset;
    std::size_t extendedOffset;
  };
  // Word fields, by their offsets in both layouts.
  const Row words[] = {{"OverspeedAlarmEnabled", 536, 604}, {"OverspeedIndex", 540, 608},
                       {"TimeZoneMinutes", 1892, 2032},     {"CallLocationReport", 960, 1028},
                       {"TcpTrackEnabled", 1812, 1952},     {"Opaque12[19]", 2892, 3032}};
  for (const Row& row : words) EXPECT_EQ(word(basic, row.basicOffset), word(extended, row.extendedOffset)) << row.field;

  const Row texts[] = {{"SmsPassword", 0, 68},      {"PrimaryDns", 1464, 1604}, {"ServerIp", 1720, 1860},
                       {"ApnUser", 1208, 1348},     {"AgpsName", 2640, 2780},   {"HttpServerDomain", 3116, 3256},
                       {"SosMessage[0]", 1904, 2044}, {"KeySlot[3].SmsNumber", 348, 416}, {"ApnName", 1080, 1148}};
  for (const Row& row : texts) {
    EXPECT_FALSE(text(basic, row.basicOffset, 22).empty()) << row.field;
    EXPECT_EQ(text(basic, row.basicOffset, 22), text(extended, row.extendedOffset, 22)) << row.field;
  }
  EXPECT_FALSE(text(extended, 4, 32).empty());  // RomVersion
  EXPECT_EQ(text(extended, 3320, 32).size(), 15u);  // Imei

  // Carried fields hold something, so that carrying them shows.
  for (const std::size_t offset : {24u, 68u, 544u, 756u, 988u, 1816u, 1900u, 2424u, 2508u, 2816u, 2896u})
    EXPECT_NE(word(basic, offset), 0u) << "basic offset " << offset;
}

TEST(DemoImages, FileRoundTrip) {
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "-pelmora-demo-image.bin";
  const Bytes extended = extendedDemoImage();
  ASSERT_TRUE(saveImageFile(path, extended));
  Bytes loaded;
  ASSERT_TRUE(loadImageFile(path, loaded));
  EXPECT_EQ(loaded, extended);
  ASSERT_TRUE(saveImageFile(path, Bytes(4080, 1)));  // above a reply frame's data
  EXPECT_FALSE(loadImageFile(path, loaded));
  EXPECT_FALSE(loadImageFile(path + ".missing", loaded));
  std::remove(path.c_str());
}

}  // namespace
}  // namespace pelmora::sim
