#pragma once
// Cuts "@@" request frames out of the bytes the simulated tracker receives.
// A frame is "@@", a length of 17 to 4096, and CR LF as its last two bytes;
// bytes that begin no such frame are skipped. The checksum is reported, not
// required, so that the tracker can count bad requests.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pelmora::sim {

struct ReceivedRequest {
  std::vector<std::uint8_t> frame;  // marker to LF
  std::uint16_t command = 0;
  bool checksumOk = false;
  std::span<const std::uint8_t> data() const { return std::span(frame).subspan(13, frame.size() - 17); }
};

class RequestFramer {
 public:
  void append(std::span<const std::uint8_t> bytes);
  // The next complete frame, if one has arrived. Skipped bytes are dropped.
  std::optional<ReceivedRequest> next();
  void clear() { pending_.clear(); }

 private:
  std::vector<std::uint8_t> pending_;
};

}  // namespace pelmora::sim
