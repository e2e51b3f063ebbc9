#include "app/utf16_text.h"

#include <cstdint>

namespace pelmora {

std::u16string utf16(std::string_view text) {
  std::u16string units;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t extra = lead < 0xC0 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    std::uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
    for (std::size_t k = 1; k <= extra && i + k < text.size(); ++k)
      code = code << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    i += extra + 1;
    if (code >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
      code = 0xDC00 + ((code - 0x10000) & 0x3FF);
    }
    units.push_back(static_cast<char16_t>(code));
  }
  return units;
}

}  // namespace pelmora
