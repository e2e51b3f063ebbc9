#include "sim/image_builder.h"

#include <algorithm>
#include <bit>

namespace pelmora::sim {
namespace {

constexpr std::size_t kApnNameBasicOffset = 1080;
constexpr std::size_t kApnNameBasicUnits = 64;
constexpr std::size_t kHeaderSize = 68;      // magic and firmware text
constexpr std::size_t kApnWidening = 72;     // 100 instead of 64 units
constexpr std::size_t kRomVersionOffset = 4;
constexpr std::size_t kRomVersionUnits = 32;
constexpr std::size_t kImeiOffset = 3320;
constexpr std::size_t kImeiUnits = 32;
constexpr std::uint32_t kExtendedMagic = 0xF6860001;

}  // namespace

ImageBuilder::ImageBuilder(ImageLayout layout)
    : layout_(layout), image_(layout == ImageLayout::Basic ? kBasicImageSize : kExtendedImageSize, 0) {
  if (layout_ == ImageLayout::Extended) putWordAt(0, kExtendedMagic);
}

std::size_t ImageBuilder::place(std::size_t basicOffset) const {
  if (layout_ == ImageLayout::Basic) return basicOffset;
  return basicOffset <= kApnNameBasicOffset ? basicOffset + kHeaderSize : basicOffset + kHeaderSize + kApnWidening;
}

void ImageBuilder::putU32(std::size_t basicOffset, std::uint32_t value) { putWordAt(place(basicOffset), value); }

void ImageBuilder::putI32(std::size_t basicOffset, std::int32_t value) {
  putWordAt(place(basicOffset), static_cast<std::uint32_t>(value));
}

void ImageBuilder::putF32(std::size_t basicOffset, float value) {
  putWordAt(place(basicOffset), std::bit_cast<std::uint32_t>(value));
}

void ImageBuilder::putText(std::size_t basicOffset, std::size_t units, std::u16string_view text) {
  if (layout_ == ImageLayout::Basic && basicOffset == kApnNameBasicOffset) units = std::min(units, kApnNameBasicUnits);
  putTextAt(place(basicOffset), units, text);
}

void ImageBuilder::putRomVersion(std::u16string_view text) {
  if (layout_ == ImageLayout::Extended) putTextAt(kRomVersionOffset, kRomVersionUnits, text);
}

void ImageBuilder::putImei(std::u16string_view text) {
  if (layout_ == ImageLayout::Extended) putTextAt(kImeiOffset, kImeiUnits, text);
}

void ImageBuilder::putWordAt(std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) image_.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void ImageBuilder::putTextAt(std::size_t offset, std::size_t units, std::u16string_view text) {
  for (std::size_t i = 0; i < units; ++i) {
    const char16_t unit = i < text.size() ? text[i] : u'\0';
    image_.at(offset + 2 * i) = static_cast<std::uint8_t>(unit & 0xFF);
    image_.at(offset + 2 * i + 1) = static_cast<std::uint8_t>(unit >> 8);
  }
}

}  // namespace pelmora::sim
