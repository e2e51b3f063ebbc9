// decodeSettingsBlock then encodeSettingsBlock on arbitrary data of any
// length, after the codec has already held the images of an earlier tracker.
//
// For a block of a known layout at least as long as the layout, the bytes
// written back equal the block received (cut to the layout's size)
// everywhere but in the Extended header, which goes out as zeros; bytes
// after a text's terminator included. Nothing of the earlier tracker's image
// reaches the write. The write request frame carries exactly those bytes,
// with a correct checksum.
// A block tagged 0xF686 with an unknown lower half, or shorter than its
// layout, is refused: the model, the layout and the image read stay those of
// the earlier tracker, whose image the next write still carries.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "link/packet.h"
#include "settings/settings_codec.h"
#include "settings/settings_layout.h"

namespace {

using namespace pelmora;

constexpr std::size_t kExtendedHeaderSize = 68;

std::uint32_t firstWord(std::span<const std::uint8_t> data) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 4; ++i) word |= std::uint32_t{i < data.size() ? data[i] : std::uint8_t{0}} << (8 * i);
  return word;
}

// CRC-16/KERMIT bit by bit, apart from the table-driven one under test.
std::uint16_t referenceCrc(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? static_cast<std::uint16_t>((crc >> 1) ^ 0x8408u) : crc >> 1;
  }
  return crc;
}

// Each field of two models compared through the field table (floats by their bits).
bool sameModel(const SettingsModel& a, const SettingsModel& b) {
  for (const FieldRow& row : settingsFields())
    for (std::size_t element = 0; element < row.count; ++element)
      if (!sameFieldElement(row, element, a, b)) return false;
  return true;
}

// The image a write sends: `block` cut to the layout, the Extended header cleared.
std::vector<std::uint8_t> asWritten(std::span<const std::uint8_t> block, Layout layout) {
  std::vector<std::uint8_t> image(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(layoutSize(layout)));
  if (layout == Layout::Extended) std::fill_n(image.begin(), kExtendedHeaderSize, std::uint8_t{0});
  return image;
}

void checkWriteFrame(std::span<const std::uint8_t> image) {
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = image;
  static FrameBuffer frame;
  std::size_t length = 0;
  FUZZ_CHECK(buildRequest(request, frame, length, nullptr) == kBuildOk);
  FUZZ_CHECK(length == image.size() + kFrameOverhead);
  FUZZ_CHECK(((std::size_t{frame[2]} << 8) | frame[3]) == length);
  FUZZ_CHECK(std::equal(image.begin(), image.end(), frame.begin() + 13));
  const std::uint16_t crc = referenceCrc(std::span(frame).first(13 + image.size()));
  FUZZ_CHECK(frame[13 + image.size()] == (crc >> 8) && frame[14 + image.size()] == (crc & 0xFF));
  FUZZ_CHECK(frame[length - 2] == '\r' && frame[length - 1] == '\n');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> block(data, size);
  static SettingsCodec codec;
  static SettingsModel model;
  static SettingsModel before;
  std::uint32_t word = firstWord(block);
  if ((word >> 16) != 0xF686u) word = kBasicMagic;
  const Layout layout = word == kBasicMagic ? Layout::Basic : Layout::Extended;
  // An earlier tracker of that layout, every byte of its image set.
  static std::vector<std::uint8_t> earlier;
  earlier.assign(layoutSize(layout), 0xA5);
  if (word != kBasicMagic) std::copy_n(std::array<std::uint8_t, 4>{0x01, 0x00, 0x86, 0xF6}.begin(), 4, earlier.begin());
  codec.decodeSettingsBlock(earlier, model);
  before = model;

  const std::uint32_t earlierWord = codec.LayoutMagic();
  const DecodeResult result = codec.decodeSettingsBlock(block, model);
  FUZZ_CHECK(settingsLayoutWord(block) == word);
  const std::size_t layoutBytes = settingsLayoutSize(word);
  const bool refused = layoutBytes == 0 || block.size() < layoutBytes;
  if (refused) {
    FUZZ_CHECK(result == (layoutBytes == 0 ? DecodeResult::UnknownLayout : DecodeResult::Incomplete));
    FUZZ_CHECK(codec.LayoutMagic() == earlierWord);
    FUZZ_CHECK(sameModel(model, before));
  } else {
    FUZZ_CHECK(result == DecodeResult::Decoded);
    FUZZ_CHECK(codec.LayoutMagic() == word);
    FUZZ_CHECK(model.MagicNumber == word);
  }
  const std::span<const std::uint8_t> written = codec.encodeSettingsBlock(model);
  const std::vector<std::uint8_t> expected = asWritten(refused ? std::span<const std::uint8_t>(earlier) : block, layout);
  FUZZ_CHECK(std::equal(written.begin(), written.end(), expected.begin(), expected.end()));
  checkWriteFrame(written);
  return 0;
}
