#include "sim/request_framer.h"

#include <algorithm>

#include "link/packet.h"

namespace pelmora::sim {

void RequestFramer::append(std::span<const std::uint8_t> bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
}

std::optional<ReceivedRequest> RequestFramer::next() {
  std::size_t start = 0;
  std::optional<ReceivedRequest> found;
  while (!found) {
    // Skip to the next "@@".
    while (start < pending_.size() && pending_[start] != '@') ++start;
    if (pending_.size() - start < 4) break;
    if (pending_[start + 1] != '@') {
      ++start;
      continue;
    }
    const std::size_t length = static_cast<std::size_t>((pending_[start + 2] << 8) | pending_[start + 3]);
    if (length < kFrameOverhead || length > kMaxFrameSize) {
      ++start;
      continue;
    }
    if (pending_.size() - start < length) break;  // wait for the rest
    if (pending_[start + length - 2] != '\r' || pending_[start + length - 1] != '\n') {
      ++start;
      continue;
    }
    ReceivedRequest request;
    request.frame.assign(pending_.begin() + static_cast<std::ptrdiff_t>(start),
                         pending_.begin() + static_cast<std::ptrdiff_t>(start + length));
    request.command = static_cast<std::uint16_t>((request.frame[11] << 8) | request.frame[12]);
    const std::uint16_t crc = crc16(std::span(request.frame).first(length - 4));
    request.checksumOk = request.frame[length - 4] == (crc >> 8) && request.frame[length - 3] == (crc & 0xFF);
    found = std::move(request);
    start += length;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(start));
  return found;
}

}  // namespace pelmora::sim
