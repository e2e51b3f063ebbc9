#pragma once
// A picture saved as PNG through the Windows Imaging Component, which every
// Windows (and Wine) provides: no encoder of our own.

#include <cstdint>
#include <span>
#include <string>

namespace pelmora {

// A picture of `width` x `height` pixels, rows top down, each pixel blue,
// green, red and one unused byte (a 32-bit DIB's layout).
struct Bgrx32Picture {
  int width = 0;
  int height = 0;
  std::span<const std::uint8_t> pixels;  // width * height * 4 bytes
};

// Writes `picture` to `path` (UTF-8); "" when written, else what went wrong,
// naming the file.
std::string writePng(const std::string& path, const Bgrx32Picture& picture);

}  // namespace pelmora
