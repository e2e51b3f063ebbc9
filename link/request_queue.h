#pragma once
// Requests handed from the window's thread (and a scan) to the engine's
// thread, which alone writes to the line: the window never waits on a port.
//
// Fixed capacity, one entry per kind: a request of a kind already waiting
// replaces it (a second handshake tick, or a double click, sends once), so
// the queue never overflows. Each entry carries the port epoch it was made
// for; the engine drops one made for a port that is no longer the current one.

#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

#include "link/packet.h"
#include "link/wakeup.h"

namespace pelmora {

struct QueuedRequest {
  CommandType type = Handshake;
  std::uint32_t portEpoch = 0;
};

class RequestQueue {
 public:
  static constexpr std::size_t kCapacity = 3;  // handshake, read, write

  // `frame` is the whole request frame of a WriteSettings request, empty for the others.
  void push(CommandType type, std::uint32_t portEpoch, std::span<const std::uint8_t> frame = {});
  // The oldest request; a WriteSettings request's frame is copied into `frame`.
  std::optional<QueuedRequest> pop(FrameBuffer& frame, std::size_t& frameLength);
  // Raised by every push, cleared by every pop: the engine's thread waits on it.
  Wakeup& wakeup() { return wakeup_; }

 private:
  std::mutex lock_;  // the entries and the write frame
  std::array<QueuedRequest, kCapacity> entries_{};
  std::size_t count_ = 0;
  FrameBuffer writeFrame_{};
  std::size_t writeLength_ = 0;
  Wakeup wakeup_;
};

}  // namespace pelmora
