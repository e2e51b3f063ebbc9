#pragma once
// Turns a received settings image into SettingsModel values and builds the
// image to write from them, always in the layout of the image read last.
//
// A decode keeps the image it read and the values it decoded from it. The
// write image is that image with only the fields whose value changed since
// the read laid over it: every other byte goes back exactly as the tracker
// sent it, bytes after a text's terminator included. Only a layout's header
// (the Extended one: magic and firmware text, bytes 0-67) goes out as zeros.
//
// A block is refused, leaving the model, the kept image and the layout as
// they were, when its layout word names no layout of the table
// (settings_layout.h) or its data is shorter than its layout; data beyond
// the layout's size is not part of the block.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/settings_layout.h"
#include "settings/settings_model.h"

namespace pelmora {

enum class DecodeResult : int {
  Decoded = 0,        // the model was reset and filled
  UnknownLayout = 1,  // a tagged word that names no known layout: nothing changed
  Incomplete = 2,     // fewer bytes than the layout holds: nothing changed
};

// The layout word a block announces: its first word, or the implied magic
// (Basic's 0xF6860000) when that word lacks the tag 0xF686 (a Basic block
// starts with the password). Fewer than 4 bytes count as zero.
std::uint32_t settingsLayoutWord(std::span<const std::uint8_t> data);

// The size of the layout `word` names (3180, 3384), or 0 for an unknown word.
std::size_t settingsLayoutSize(std::uint32_t word);

class SettingsCodec {
 public:
  // `data` is the data of a read reply.
  DecodeResult decodeSettingsBlock(std::span<const std::uint8_t> data, SettingsModel& model);

  // The bytes to write for `model`: empty before any decode, else an image
  // of the layout read last, valid until the next call.
  std::span<const std::uint8_t> encodeSettingsBlock(const SettingsModel& model);

  // The layout of the last decoded block (nullptr before any decode); it
  // chooses the next encode's layout. LayoutMagic() is its word, or 0.
  const LayoutInfo* imageLayout() const { return layout_; }
  std::uint32_t LayoutMagic() const { return layout_ != nullptr ? layout_->magic : 0; }

  bool hasImage() const { return layout_ != nullptr; }

  // The image last decoded, exactly as received (empty before any decode),
  // and the values decoded from it.
  std::span<const std::uint8_t> readImage() const;
  const SettingsModel& readModel() const { return readModel_; }

 private:
  const LayoutInfo* layout_ = nullptr;
  SettingsModel readModel_;
  std::array<std::uint8_t, kMaxImageSize> readImage_{};
  std::array<std::uint8_t, kMaxImageSize> writeImage_{};
};

}  // namespace pelmora
