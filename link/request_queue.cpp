#include "link/request_queue.h"

#include <algorithm>

namespace pelmora {

void RequestQueue::push(CommandType type, std::uint32_t portEpoch, std::span<const std::uint8_t> frame) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (type == WriteSettings) {
      writeLength_ = std::min(frame.size(), writeFrame_.size());
      std::copy_n(frame.begin(), writeLength_, writeFrame_.begin());
    }
    const auto end = entries_.begin() + static_cast<std::ptrdiff_t>(count_);
    const auto waiting = std::find_if(entries_.begin(), end, [&](const QueuedRequest& e) { return e.type == type; });
    if (waiting != end)
      waiting->portEpoch = portEpoch;
    else
      entries_[count_++] = QueuedRequest{type, portEpoch};
  }
  wakeup_.raise();
}

std::optional<QueuedRequest> RequestQueue::pop(FrameBuffer& frame, std::size_t& frameLength) {
  wakeup_.clear();  // before the look, so that a push after it wakes the next wait
  std::lock_guard<std::mutex> hold(lock_);
  frameLength = 0;
  if (count_ == 0) return std::nullopt;
  const QueuedRequest first = entries_[0];
  std::move(entries_.begin() + 1, entries_.begin() + static_cast<std::ptrdiff_t>(count_), entries_.begin());
  --count_;
  if (first.type == WriteSettings) {
    std::copy_n(writeFrame_.begin(), writeLength_, frame.begin());
    frameLength = writeLength_;
  }
  return first;
}

}  // namespace pelmora
