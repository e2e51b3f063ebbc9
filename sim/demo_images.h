#pragma once
// The simulated tracker's built-in settings images: every field set to a
// plausible value, the carried (opaque) fields included, so that a read
// fills every page and carrying is visible after a write.

#include <cstdint>
#include <string>
#include <vector>

namespace pelmora::sim {

// 3180 bytes, no header.
std::vector<std::uint8_t> basicDemoImage();
// 3384 bytes: 01 00 86 F6, firmware text, body, 15-digit IMEI.
std::vector<std::uint8_t> extendedDemoImage();

// The whole file as an image; false when it cannot be read, is empty or
// does not fit a reply frame (4079 bytes).
bool loadImageFile(const std::string& path, std::vector<std::uint8_t>& image);
bool saveImageFile(const std::string& path, const std::vector<std::uint8_t>& image);

}  // namespace pelmora::sim
