#pragma once
// Turns a received settings image into SettingsModel values and builds the
// image to write from them, always in the layout of the image read last.
//
// The codec keeps one image buffer per layout. A decode copies the received
// block into it (zero beyond a short block, nothing beyond the layout's
// size) and decodes from it; an encode rebuilds it from the model, and its
// bytes are the payload of the write request.

#include <array>
#include <cstdint>
#include <span>

#include "settings/settings_layout.h"
#include "settings/settings_model.h"

namespace pelmora {

enum class DecodeResult : int {
  Decoded = 0,        // the model was reset and filled
  UnknownLayout = 1,  // tag 0xF686 with a lower half of 2 or more: the model is untouched
  Incomplete = 2,     // shorter than its layout: the model is untouched
};

// The layout word a block announces (Basic's 0xF6860000 when the first word
// lacks the 0xF686 tag; fewer than 4 bytes count as zero).
std::uint32_t settingsLayoutWord(std::span<const std::uint8_t> data);
// 3180, 3384, or 0 for an unknown word.
std::size_t settingsLayoutSize(std::uint32_t word);

class SettingsCodec {
 public:
  // `data` is the data of a read reply. A block whose first word does not
  // carry the 0xF686 tag is a Basic block (its first bytes are the password).
  DecodeResult decodeSettingsBlock(std::span<const std::uint8_t> data, SettingsModel& model);

  // 3180 (Basic), 3384 (Extended) or 0 bytes: 0 before any decode and after
  // a block of an unknown layout. The bytes stay valid until the next call.
  std::span<const std::uint8_t> encodeSettingsBlock(const SettingsModel& model);

  // The layout word of the last decoded block; it chooses the next encode's layout.
  std::uint32_t LayoutMagic() const { return layoutMagic_; }

 private:
  std::span<std::uint8_t> RetainedImage(Layout layout);

  std::uint32_t layoutMagic_ = 0;
  std::array<std::uint8_t, kBasicSize> basicImage_{};
  std::array<std::uint8_t, kExtendedSize> extendedImage_{};
};

}  // namespace pelmora
