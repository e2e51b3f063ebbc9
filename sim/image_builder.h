#pragma once
// Writes a settings image field by field, for the simulated tracker's
// built-in images. Fields are addressed by their offset in the Basic layout;
// the builder moves them to their Extended offset (+68 before ApnName, +140
// after it) and keeps ApnName at 64 units in the Basic layout.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pelmora::sim {

enum class ImageLayout { Basic, Extended };

inline constexpr std::size_t kBasicImageSize = 3180;
inline constexpr std::size_t kExtendedImageSize = 3384;

class ImageBuilder {
 public:
  // A zero image of the layout's size; the Extended one starts 01 00 86 F6.
  explicit ImageBuilder(ImageLayout layout);

  void putU32(std::size_t basicOffset, std::uint32_t value);
  void putI32(std::size_t basicOffset, std::int32_t value);
  void putF32(std::size_t basicOffset, float value);
  // UTF-16LE, NUL-padded to `units`; a longer text is cut.
  void putText(std::size_t basicOffset, std::size_t units, std::u16string_view text);

  // Extended only (ignored for Basic): firmware text at 4, IMEI at 3320.
  void putRomVersion(std::u16string_view text);
  void putImei(std::u16string_view text);

  const std::vector<std::uint8_t>& bytes() const { return image_; }

 private:
  std::size_t place(std::size_t basicOffset) const;
  void putWordAt(std::size_t offset, std::uint32_t value);
  void putTextAt(std::size_t offset, std::size_t units, std::u16string_view text);

  ImageLayout layout_;
  std::vector<std::uint8_t> image_;
};

}  // namespace pelmora::sim
