#pragma once
// Settings images written out byte by byte, apart from the codec: the field
// table says where a field starts, these helpers put the bytes there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_elements.h"
#include "settings/settings_layout.h"

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

// Where the field element `name` starts in `layout`.
inline std::size_t offsetOf(std::string_view name, Layout layout) {
  const FieldElement& e = settingsElements()[static_cast<std::size_t>(findElement(name))];
  return e.row->at(layout, e.element).offset;
}

// A tracker's image, with bytes no plain value keeps in some fields.
inline Block trackerImage(bool extended, bool dense) {
  const Layout layout = extended ? Layout::Extended : Layout::Basic;
  const LayoutInfo& shape = layoutInfo(layout);
  const auto at = [layout](std::string_view name) { return offsetOf(name, layout); };
  Block b(shape.size, 0);
  if (dense)
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>((i * 7 + 3) % 251 + 1);
  if (!shape.magicImplied) putWord(b, at("MagicNumber"), shape.magic);
  putText(b, at("SmsPassword"), std::u16string(u"123456\0\0\0\0", 10));
  putWord(b, at("SmsReportInterval"), 30);
  putText(b, at("Opaque3"), std::u16string(u"ab\0tail", 7));  // bytes after its end
  putWord(b, at("LowPowerAlarmVoltage"), 0x7FA00001u);         // a NaN with a payload
  putText(b, at("ApnName"), std::u16string(extended ? 80 : 64, u'n'));  // Basic's at its full width
  putText(b, at("TimeZoneMinutes"), u"\xD800");  // a lone surrogate as a number
  return b;
}

}  // namespace pelmora
