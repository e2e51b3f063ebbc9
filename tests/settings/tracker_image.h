#pragma once
// Settings images written out byte by byte, apart from the codec.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmora {

using Block = std::vector<std::uint8_t>;

inline void putText(Block& b, std::size_t at, std::u16string_view units) {
  for (const char16_t u : units) {
    b[at++] = static_cast<std::uint8_t>(u & 0xFF);
    b[at++] = static_cast<std::uint8_t>(u >> 8);
  }
}
inline void putWord(Block& b, std::size_t at, std::uint32_t w) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(w >> (8 * i));
}

// A tracker's image: Extended adds 68 bytes before ApnName and 140 after.
inline Block trackerImage(bool extended, bool dense) {
  Block b(extended ? 3384 : 3180, 0);
  if (dense)
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251 + 1);
  const std::size_t x = extended ? 68 : 0, y = extended ? 140 : 0;
  if (extended) putWord(b, 0, 0xF6860001u);
  putText(b, x + 0, std::u16string(u"123456\0\0\0\0", 10));
  putWord(b, x + 20, 30);                                 // SmsReportInterval
  putText(b, x + 556, std::u16string(u"ab\0tail", 7));    // Opaque3, bytes after its end
  putWord(b, x + 532, 0x7FA00001u);                       // a NaN with a payload
  putText(b, x + 1080, std::u16string(extended ? 80 : 64, u'n'));  // ApnName at its full width
  putText(b, y + 1892, u"\xD800");                        // TimeZoneMinutes' bytes: a lone surrogate as a number
  return b;
}

}  // namespace pelmora
