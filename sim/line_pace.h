#pragma once
// A serial line's pace: 10 bits a byte (start, 8 data, stop), so a line at
// `baud` carries baud / 10 bytes a second (9600: about 1.04 ms a byte).
// Baud 0 stands for a line that carries everything at once.

#include <cstdint>
#include <limits>

namespace pelmora::sim {

// The bytes the line has carried `elapsedUs` microseconds after it began.
constexpr std::uint64_t bytesCarried(std::uint64_t elapsedUs, std::uint32_t baud) {
  return baud == 0 ? std::numeric_limits<std::uint64_t>::max() : elapsedUs * baud / 10'000'000ULL;
}

// The microseconds after it began by which the line has carried `bytes` bytes.
constexpr std::uint64_t usToCarry(std::uint64_t bytes, std::uint32_t baud) {
  return baud == 0 ? 0 : (bytes * 10'000'000ULL + baud - 1) / baud;
}

}  // namespace pelmora::sim
