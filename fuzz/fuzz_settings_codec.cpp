// decodeSettingsBlock then encodeSettingsBlock on arbitrary data of any
// length, after the codec has already held the image of an earlier tracker of
// the other layout.
//
// For a block of a known layout at least as long as the layout, the bytes
// written back equal the block received (cut to the layout's size)
// everywhere but in the layout's header, which goes out as zeros; bytes
// after a text's terminator included. Nothing of the earlier tracker's image
// reaches the write.
// A block tagged 0xF686 whose word names no layout, or shorter than its
// layout, is refused: the layout and the image read stay those of the
// earlier tracker, whose image the next write, made from the unchanged
// model, still carries.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/settings_codec.h"
#include "settings/settings_layout.h"

namespace {

using namespace pelmora;

std::uint32_t firstWord(std::span<const std::uint8_t> data) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 4; ++i) word |= std::uint32_t{i < data.size() ? data[i] : std::uint8_t{0}} << (8 * i);
  return word;
}

// The image a write sends: `block` cut to the layout, its header cleared.
std::vector<std::uint8_t> asWritten(std::span<const std::uint8_t> block, const LayoutInfo& layout) {
  std::vector<std::uint8_t> image(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(layout.size));
  std::fill_n(image.begin(), layout.headerSize, std::uint8_t{0});
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> block(data, size);
  static SettingsCodec codec;
  static SettingsModel model;
  std::uint32_t word = firstWord(block);
  if ((word >> 16) != kLayoutTag) word = magicImpliedLayout().magic;
  const LayoutInfo* layout = layoutOfMagic(word);  // nullptr: refused
  // An earlier tracker of another layout, every byte of its image set.
  const std::span<const LayoutInfo> layouts = settingsLayouts();
  const LayoutInfo& earlierLayout = layout == &layouts[0] ? layouts[1] : layouts[0];
  static std::vector<std::uint8_t> earlier;
  earlier.assign(earlierLayout.size, 0xA5);
  if (!earlierLayout.magicImplied)
    for (std::size_t i = 0; i < 4; ++i) earlier[i] = static_cast<std::uint8_t>(earlierLayout.magic >> (8 * i));
  codec.decodeSettingsBlock(earlier, model);

  const std::uint32_t earlierWord = codec.LayoutMagic();
  const DecodeResult result = codec.decodeSettingsBlock(block, model);
  FUZZ_CHECK(settingsLayoutWord(block) == word);
  const std::size_t layoutBytes = settingsLayoutSize(word);
  const bool refused = layoutBytes == 0 || block.size() < layoutBytes;
  if (refused) {
    FUZZ_CHECK(result == (layoutBytes == 0 ? DecodeResult::UnknownLayout : DecodeResult::Incomplete));
    FUZZ_CHECK(codec.LayoutMagic() == earlierWord);
  } else {
    FUZZ_CHECK(result == DecodeResult::Decoded);
    FUZZ_CHECK(codec.LayoutMagic() == word);
    FUZZ_CHECK(model.MagicNumber == word);
  }
  const std::span<const std::uint8_t> written = codec.encodeSettingsBlock(model);
  const std::vector<std::uint8_t> expected = refused ? asWritten(earlier, earlierLayout) : asWritten(block, *layout);
  FUZZ_CHECK(std::equal(written.begin(), written.end(), expected.begin(), expected.end()));
  return 0;
}
