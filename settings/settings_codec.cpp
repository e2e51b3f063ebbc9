#include "settings/settings_codec.h"

#include <algorithm>

namespace pelmora {

std::uint32_t settingsLayoutWord(std::span<const std::uint8_t> data) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) word |= std::uint32_t{data[i]} << (8 * i);
  return (word >> 16) == kLayoutTag ? word : magicImpliedLayout().magic;
}

std::size_t settingsLayoutSize(std::uint32_t word) {
  const LayoutInfo* layout = layoutOfMagic(word);
  return layout != nullptr ? layout->size : 0;
}

std::span<const std::uint8_t> SettingsCodec::readImage() const {
  return std::span<const std::uint8_t>(readImage_).first(layout_ != nullptr ? layout_->size : 0);
}

DecodeResult SettingsCodec::decodeSettingsBlock(std::span<const std::uint8_t> data, SettingsModel& model) {
  const LayoutInfo* layout = layoutOfMagic(settingsLayoutWord(data));
  if (layout == nullptr) return DecodeResult::UnknownLayout;
  if (data.size() < layout->size) return DecodeResult::Incomplete;

  layout_ = layout;
  std::copy_n(data.begin(), layout->size, readImage_.begin());
  const std::span<const std::uint8_t> image = readImage();
  model.reset();
  model.MagicNumber = layout->magic;  // implied, or read again from the image below
  for (const FieldRow& row : settingsFields())
    for (std::size_t element = 0; element < row.count; ++element) loadFieldElement(row, element, layout->id, image, model);
  readModel_ = model;
  return DecodeResult::Decoded;
}

std::span<const std::uint8_t> SettingsCodec::encodeSettingsBlock(const SettingsModel& model) {
  if (layout_ == nullptr) return {};
  const std::span<std::uint8_t> image = std::span<std::uint8_t>(writeImage_).first(layout_->size);
  std::copy_n(readImage_.begin(), image.size(), image.begin());
  std::fill_n(image.begin(), layout_->headerSize, std::uint8_t{0});
  for (const FieldRow& row : settingsFields()) {
    if (row.flags & kHeaderField) continue;
    for (std::size_t element = 0; element < row.count; ++element)
      if (!sameFieldElement(row, element, model, readModel_)) storeFieldElement(row, element, layout_->id, model, image);
  }
  return image;
}

}  // namespace pelmora
