#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/demo_images.h"

namespace pelmora::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t word(const Bytes& image, std::size_t offset) {
  return static_cast<std::uint32_t>(image[offset] | image[offset + 1] << 8 | image[offset + 2] << 16) |
         static_cast<std::uint32_t>(image[offset + 3]) << 24;
}

TEST(DemoImages, FieldsAtTheirOffsets) {
  const Bytes basic = basicDemoImage();
  const Bytes extended = extendedDemoImage();
  ASSERT_EQ(basic.size(), 3180u);
  ASSERT_EQ(extended.size(), 3384u);

  // The same values in both layouts, and something in the fields a write
  // carries unseen, so that carrying them shows.
  EXPECT_TRUE(std::equal(basic.begin(), basic.begin() + 1080, extended.begin() + 68));  // up to ApnName
  EXPECT_TRUE(std::equal(basic.begin() + 1208, basic.begin() + 3072, extended.begin() + 1348));  // after it, to Opaque13[4]
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
