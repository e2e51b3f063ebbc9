#include "settings/settings_codec.h"

#include <algorithm>
#include <optional>

namespace pelmora {
namespace {

constexpr std::size_t kExtendedHeaderSize = 68;

std::optional<Layout> layoutOf(std::uint32_t word) {
  if (word == kBasicMagic) return Layout::Basic;
  if (word == kExtendedMagic) return Layout::Extended;
  return std::nullopt;
}

}  // namespace

std::uint32_t settingsLayoutWord(std::span<const std::uint8_t> data) {
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < 4 && i < data.size(); ++i) word |= std::uint32_t{data[i]} << (8 * i);
  return (word >> 16) == 0xF686u ? word : kBasicMagic;
}

std::size_t settingsLayoutSize(std::uint32_t word) {
  const std::optional<Layout> layout = layoutOf(word);
  return layout ? layoutSize(*layout) : 0;
}

std::span<const std::uint8_t> SettingsCodec::readImage() const {
  return std::span<const std::uint8_t>(readImage_).first(settingsLayoutSize(layoutMagic_));
}

DecodeResult SettingsCodec::decodeSettingsBlock(std::span<const std::uint8_t> data, SettingsModel& model) {
  const std::uint32_t word = settingsLayoutWord(data);
  const std::optional<Layout> layout = layoutOf(word);
  if (!layout) return DecodeResult::UnknownLayout;
  const std::size_t size = layoutSize(*layout);
  if (data.size() < size) return DecodeResult::Incomplete;

  layoutMagic_ = word;
  std::copy_n(data.begin(), size, readImage_.begin());
  const std::span<const std::uint8_t> image = readImage();
  model.reset();
  if (*layout == Layout::Basic) model.MagicNumber = kBasicMagic;
  for (const FieldRow& row : settingsFields())
    for (std::size_t element = 0; element < row.count; ++element) loadFieldElement(row, element, *layout, image, model);
  readModel_ = model;
  return DecodeResult::Decoded;
}

std::span<const std::uint8_t> SettingsCodec::encodeSettingsBlock(const SettingsModel& model) {
  const std::optional<Layout> layout = layoutOf(layoutMagic_);
  if (!layout) return {};
  const std::span<std::uint8_t> image = std::span<std::uint8_t>(writeImage_).first(layoutSize(*layout));
  std::copy_n(readImage_.begin(), image.size(), image.begin());
  if (*layout == Layout::Extended) std::fill_n(image.begin(), kExtendedHeaderSize, std::uint8_t{0});
  for (const FieldRow& row : settingsFields()) {
    if (row.flags & kHeaderField) continue;
    for (std::size_t element = 0; element < row.count; ++element)
      if (!sameFieldElement(row, element, model, readModel_)) storeFieldElement(row, element, *layout, model, image);
  }
  return image;
}

}  // namespace pelmora
