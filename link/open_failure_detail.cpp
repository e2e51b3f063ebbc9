#include "link/open_failure_detail.h"

#include <array>

namespace pelmora {
namespace {

// Adapters whose ids brltty's udev rules claim as braille displays: the
// kernel's serial device for them disappears as soon as brltty starts.
constexpr std::array<KnownAdapter, 3> kBrlttyClaims = {{
    {0x1a86, 0x7523, "CH340"},
    {0x10c4, 0xea60, "CP210x"},
    {0x0403, 0x6001, "FT232R"},
}};

}  // namespace

const char* adapterBrlttyTakes(std::uint16_t vendorId, std::uint16_t productId) {
  for (const KnownAdapter& adapter : kBrlttyClaims)
    if (adapter.vendorId == vendorId && adapter.productId == productId) return adapter.name;
  return nullptr;
}

}  // namespace pelmora
