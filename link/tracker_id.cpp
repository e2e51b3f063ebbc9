// Packed-decimal tracker ids: two digits per byte, first digit high.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "link/packet.h"

namespace pelmora {
namespace {

constexpr std::size_t kIdPositions = 14;  // position 13 always counts as the end

}  // namespace

TrackerIdBytes encodeTrackerId(std::string_view idText) {
  // The text ends at its first NUL, and never goes past position 12.
  std::size_t end = idText.find('\0');
  if (end == std::string_view::npos) end = idText.size();
  if (end > kIdPositions - 1) end = kIdPositions - 1;

  const auto nibbleAt = [&](std::size_t position) -> unsigned {
    if (position >= end) return 0xF;
    const char c = idText[position];
    return (c >= '0' && c <= '9') ? static_cast<unsigned>(c - '0') : 0xFu;
  };

  TrackerIdBytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>((nibbleAt(2 * i) << 4) | nibbleAt(2 * i + 1));
  return bytes;
}

TrackerIdText decodeTrackerId(std::span<const std::uint8_t, 7> bytes) {
  TrackerIdText text{};
  std::size_t length = 0;
  for (const std::uint8_t byte : bytes) {
    if (byte == 0xFF) break;
    text[length++] = static_cast<char>((byte >> 4) + 0x30);
    if ((byte & 0x0F) == 0x0F) break;
    text[length++] = static_cast<char>((byte & 0x0F) + 0x30);
  }
  return text;  // at most 14 characters; text[14] stays NUL
}

}  // namespace pelmora
