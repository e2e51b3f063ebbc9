// CRC-16/KERMIT: reflected polynomial 0x1021 (0x8408), start 0, no final XOR.

#include <array>
#include <cstdint>
#include <span>

#include "link/packet.h"

namespace pelmora {
namespace {

constexpr std::array<std::uint16_t, 256> makeCrcTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned i = 0; i < table.size(); ++i) {
    unsigned value = i;
    for (int step = 0; step < 8; ++step) value = (value & 1u) ? (value >> 1) ^ 0x8408u : value >> 1;
    table[i] = static_cast<std::uint16_t>(value);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kCrcTable = makeCrcTable();
static_assert(kCrcTable[1] == 0x1189 && kCrcTable[7] == 0x74BF);

}  // namespace

std::uint16_t crc16(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (const std::uint8_t byte : bytes) crc = static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ byte) & 0xFFu]);
  return crc;
}

}  // namespace pelmora
