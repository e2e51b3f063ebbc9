#pragma once
// The read and the write that went out and wait for their reply, each until
// its deadline, 7000 ms from sending; and how long the wait for a frame in
// progress lasts because of them. Communication thread only.

#include <array>
#include <cstdint>
#include <optional>

#include "link/packet.h"

namespace pelmora {

inline constexpr std::uint32_t kRequestTimeoutMs = 7000;

class OutstandingRequests {
 public:
  // `type` (ReadSettings or WriteSettings) went out at `nowMs`.
  void sent(CommandType type, std::uint64_t nowMs);
  // A reply of `type` came: true when a request waited for it, which then no longer waits.
  bool answer(CommandType type);
  // The first request (read before write) whose deadline has passed at
  // `nowMs`, which no longer waits.
  std::optional<CommandType> expire(std::uint64_t nowMs);
  // The port changed: the first request still waiting, which no longer does.
  // Called until it gives nothing, it abandons them all.
  std::optional<CommandType> abandon();
  // A wait for a frame begun at `startMs` with `timeoutMs` lasts until a
  // read or write sent since has had its own 7000 ms (a write alone is 3.5 s
  // on the line); abandon() ends that.
  std::uint64_t waitDeadline(std::uint64_t startMs, std::uint32_t timeoutMs) const;

 private:
  struct Entry {
    CommandType type;
    bool waiting = false;
    std::uint64_t deadlineMs = 0;
  };
  Entry* find(CommandType type);

  std::array<Entry, 2> entries_{{{ReadSettings}, {WriteSettings}}};
  std::uint64_t lastDeadlineMs_ = 0;  // 7000 ms after the last read or write went out
};

}  // namespace pelmora
