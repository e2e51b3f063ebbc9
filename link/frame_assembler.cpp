#include "link/frame_assembler.h"

#include <algorithm>
#include <cstring>

namespace pelmora {
namespace {

bool isMarker(std::uint8_t a, std::uint8_t b) { return (a == '@' && b == '@') || (a == '$' && b == '$'); }

std::size_t lengthAt(std::span<const std::uint8_t> bytes, std::size_t i) {
  return (static_cast<std::size_t>(bytes[i + 2]) << 8) | bytes[i + 3];
}

// A length no frame can have (below the 17 bytes of an empty frame or above
// what the buffers hold) marks the candidate as noise.
bool plausibleLength(std::size_t length) { return length >= kFrameOverhead && length <= kMaxFrameSize; }

}  // namespace

void FrameAssembler::commit(std::size_t count) { count_ = std::min(kCapacity, count_ + count); }

std::size_t FrameAssembler::takeFrame(FrameBuffer& out) {
  const std::span<const std::uint8_t> held(bytes_.data(), count_);
  for (std::size_t i = 0; i + 4 < count_; ++i) {
    if (!isMarker(held[i], held[i + 1])) continue;
    const std::size_t length = lengthAt(held, i);
    if (!plausibleLength(length) || count_ - i < length) continue;
    if (held[i + length - 2] != '\r' || held[i + length - 1] != '\n') continue;
    std::memcpy(out.data(), held.data() + i, length);
    dropFront(i + length);  // noise before the frame goes; what follows stays
    return length;
  }
  return 0;
}

bool FrameAssembler::holdsFrameStart() const {
  const std::span<const std::uint8_t> held(bytes_.data(), count_);
  for (std::size_t i = 0; i + 1 < count_; ++i) {
    if (!isMarker(held[i], held[i + 1])) continue;
    if (i + 4 > count_) return true;  // the length has not arrived yet
    const std::size_t length = lengthAt(held, i);
    if (plausibleLength(length) && count_ - i < length) return true;
  }
  return false;
}

void FrameAssembler::discardStale() {
  for (std::size_t i = 1; i + 1 < count_; ++i) {
    if (isMarker(bytes_[i], bytes_[i + 1])) {
      dropFront(i);
      return;
    }
  }
  count_ = 0;
}

void FrameAssembler::dropFront(std::size_t n) {
  n = std::min(n, count_);
  std::memmove(bytes_.data(), bytes_.data() + n, count_ - n);
  count_ -= n;
}

}  // namespace pelmora
