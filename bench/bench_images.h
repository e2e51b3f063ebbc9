#pragma once
// Settings images for the benchmarks: the simulated tracker's demo images,
// whose fields hold plausible values, so that decode, encode and the pages
// do the work a real tracker's image asks of them.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pelmora::bench {

struct BenchImage {
  std::string_view name;  // the layout's name
  std::vector<std::uint8_t> bytes;
};

const BenchImage& basicImage();     // 3180 bytes
const BenchImage& extendedImage();  // 3384 bytes, the size a 3401-byte frame carries

}  // namespace pelmora::bench
