#include "sim/loopback_serial_port.h"

#include <algorithm>

#include "sim/line_pace.h"

namespace pelmora::sim {
namespace {

constexpr std::uint64_t kUsPerMs = 1000;

}  // namespace

LoopbackSerialPort::LoopbackSerialPort(int port, const SimOptions& options, Clock& clock)
    : port_(port), clock_(clock), answers_(options) {}

LoopbackSerialPort::LoopbackSerialPort(int port, const SimOptions& options)
    : port_(port), ownClock_(std::in_place), clock_(*ownClock_), answers_(options) {}

OpenStatus LoopbackSerialPort::doOpen(int port) {
  if (port != port_) return staticError(OpenFailure::NotMapped);
  const std::lock_guard lock(mutex_);
  if (open_) return staticError(OpenFailure::Busy);
  open_ = true;
  return {};
}

PortStatus LoopbackSerialPort::doClose(int port) {
  if (port != port_) return {};
  const std::lock_guard lock(mutex_);
  open_ = false;
  queued_.clear();
  answers_.clearPartial();
  return {};
}

std::vector<PortMapping> LoopbackSerialPort::doCurrentMap() const {
  return {PortMapping{port_, "simulated tracker", true}};
}

PortStatus LoopbackSerialPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  const std::lock_guard lock(mutex_);
  if (port != port_ || !open_) return staticError(PortError::NotOpen);
  const std::uint64_t now = clock_.nowMs();
  for (const ReceivedRequest& request : answers_.receive(bytes)) {
    std::optional<Answer> answer = answers_.answer(request);
    if (!answer) continue;
    const std::uint32_t baud = answer->behaviour.baud;
    const std::uint64_t start = std::max(now + answer->behaviour.replyDelayMs, lineFreeMs_);
    lineFreeMs_ = start + (usToCarry(answer->bytes.size(), baud) + kUsPerMs - 1) / kUsPerMs;
    queued_.push_back({std::move(answer->bytes), start, baud});
  }
  return {};
}

std::size_t LoopbackSerialPort::carried(std::uint64_t nowMs) const {
  if (queued_.empty()) return 0;
  const Transmission& front = queued_.front();
  if (nowMs < front.startMs) return 0;
  const std::uint64_t total = std::min<std::uint64_t>(bytesCarried((nowMs - front.startMs) * kUsPerMs, front.baud),
                                                      front.bytes.size());
  return static_cast<std::size_t>(total) - front.taken;
}

PortResult<std::size_t> LoopbackSerialPort::doRead(int port, std::span<std::uint8_t> buffer) {
  const std::lock_guard lock(mutex_);
  if (port != port_ || !open_) return std::size_t{0};
  const std::uint64_t now = clock_.nowMs();
  std::size_t count = 0;
  // Across answers: the next one may be on the line already.
  while (count < buffer.size() && !queued_.empty()) {
    Transmission& front = queued_.front();
    const std::size_t piece = std::min(carried(now), buffer.size() - count);
    if (piece == 0) break;
    std::copy_n(front.bytes.begin() + static_cast<std::ptrdiff_t>(front.taken), piece, buffer.begin() + static_cast<std::ptrdiff_t>(count));
    front.taken += piece;
    count += piece;
    if (front.taken == front.bytes.size()) {
      queued_.pop_front();
      answers_.countReplySent();
    }
  }
  return count;
}

std::optional<std::uint64_t> LoopbackSerialPort::untilNextByte(std::uint64_t nowMs) const {
  if (queued_.empty()) return std::nullopt;
  const Transmission& front = queued_.front();
  const std::uint64_t dueMs = front.startMs + (usToCarry(front.taken + 1, front.baud) + kUsPerMs - 1) / kUsPerMs;
  return dueMs > nowMs ? dueMs - nowMs : 0;
}

bool LoopbackSerialPort::doWaitReadable(int port, std::uint32_t ms, Wakeup* wake) {
  std::uint64_t wait = ms;
  {
    const std::lock_guard lock(mutex_);
    if (port != port_ || !open_) return false;
    if (const std::optional<std::uint64_t> next = untilNextByte(clock_.nowMs())) wait = std::min(wait, *next);
  }
  if (wait == 0) return true;
  // Without the lock, so that a write or close is not held up.
  const auto slice = static_cast<std::uint32_t>(wait);
  if (wake != nullptr) {
    clock_.sleepOrWake(slice, *wake);
  } else {
    clock_.sleepMs(slice);
  }
  return true;
}

}  // namespace pelmora::sim
