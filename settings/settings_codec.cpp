#include "settings/settings_codec.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace pelmora {
namespace {

std::uint32_t loadU32(std::span<const std::uint8_t> bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

void storeU32(std::span<std::uint8_t> bytes, std::uint32_t value) {
  for (std::uint8_t& byte : bytes) {
    byte = static_cast<std::uint8_t>(value & 0xFFu);
    value >>= 8;
  }
}

// A text takes the units up to its first NUL, at most the field's width;
// the rest of the model's storage is cleared.
void loadText(std::span<const std::uint8_t> bytes, std::span<char16_t> units) {
  std::fill(units.begin(), units.end(), u'\0');
  const std::size_t width = std::min(bytes.size() / 2, units.size() - 1);
  for (std::size_t i = 0; i < width; ++i) {
    const auto unit = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    if (unit == u'\0') break;
    units[i] = unit;
  }
}

void storeText(std::span<std::uint8_t> bytes, std::span<const char16_t> units) {
  const std::size_t width = std::min(bytes.size() / 2, units.size() - 1);
  for (std::size_t i = 0; i < width && units[i] != u'\0'; ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFFu);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
  }
}

std::optional<Layout> layoutOf(std::uint32_t magic) {
  if (magic == kBasicMagic) return Layout::Basic;
  if (magic == kExtendedMagic) return Layout::Extended;
  return std::nullopt;
}

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

}  // namespace

std::uint32_t settingsLayoutWord(std::span<const std::uint8_t> data) {
  std::array<std::uint8_t, 4> head{};
  if (data.size() >= head.size()) std::copy_n(data.begin(), head.size(), head.begin());
  const std::uint32_t word = loadU32(head);
  return (word >> 16) == 0xF686u ? word : kBasicMagic;
}

std::size_t settingsLayoutSize(std::uint32_t word) {
  const std::optional<Layout> layout = layoutOf(word);
  return layout ? layoutSize(*layout) : 0;
}

std::span<std::uint8_t> SettingsCodec::RetainedImage(Layout layout) {
  if (layout == Layout::Basic) return basicImage_;
  return extendedImage_;
}

DecodeResult SettingsCodec::decodeSettingsBlock(std::span<const std::uint8_t> data, SettingsModel& model) {
  const std::uint32_t word = settingsLayoutWord(data);
  const std::optional<Layout> layout = layoutOf(word);
  // A refused block leaves model, image and layout as they were.
  if (!layout) return DecodeResult::UnknownLayout;
  std::span<std::uint8_t> image = RetainedImage(*layout);
  if (data.size() < image.size()) return DecodeResult::Incomplete;
  layoutMagic_ = word;
  // Only the layout's own bytes count.
  std::copy_n(data.begin(), image.size(), image.begin());

  model.reset();
  if (*layout == Layout::Basic) model.MagicNumber = kBasicMagic;
  for (const FieldRow& row : settingsFields()) {
    for (std::size_t element = 0; element < row.count; ++element) {
      const Placement at = row.at(*layout, element);
      if (at.bytes == 0) continue;
      const std::span<const std::uint8_t> bytes = std::span<const std::uint8_t>(image).subspan(at.offset, at.bytes);
      std::visit(Overloaded{
                     [&](std::uint32_t* v) { *v = loadU32(bytes); },
                     [&](std::int32_t* v) { *v = static_cast<std::int32_t>(loadU32(bytes)); },
                     [&](float* v) { *v = std::bit_cast<float>(loadU32(bytes)); },
                     [&](std::span<char16_t> units) { loadText(bytes, units); },
                 },
                 row.locate(model, element));
    }
  }
  return DecodeResult::Decoded;
}

std::span<const std::uint8_t> SettingsCodec::encodeSettingsBlock(const SettingsModel& model) {
  const std::optional<Layout> layout = layoutOf(layoutMagic_);
  if (!layout) return {};

  std::span<std::uint8_t> image = RetainedImage(*layout);
  std::fill(image.begin(), image.end(), std::uint8_t{0});
  // The table hands out mutable references; encoding only reads through them.
  SettingsModel& source = const_cast<SettingsModel&>(model);
  for (const FieldRow& row : settingsFields()) {
    if (!row.written) continue;
    for (std::size_t element = 0; element < row.count; ++element) {
      const Placement at = row.at(*layout, element);
      if (at.bytes == 0) continue;
      const std::span<std::uint8_t> bytes = image.subspan(at.offset, at.bytes);
      std::visit(Overloaded{
                     [&](std::uint32_t* v) { storeU32(bytes, *v); },
                     [&](std::int32_t* v) { storeU32(bytes, static_cast<std::uint32_t>(*v)); },
                     [&](float* v) { storeU32(bytes, std::bit_cast<std::uint32_t>(*v)); },
                     [&](std::span<char16_t> units) { storeText(bytes, units); },
                 },
                 row.locate(source, element));
    }
  }
  return image;
}

}  // namespace pelmora
