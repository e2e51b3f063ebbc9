#include "tests/app/app_test_support.h"

#include <algorithm>

namespace pelmora::testing {

std::uint64_t ParkingClock::nowMs() {
  std::lock_guard<std::mutex> hold(mutex_);
  return now_;
}

void ParkingClock::sleepMs(std::uint32_t ms) {
  std::unique_lock<std::mutex> hold(mutex_);
  if (std::this_thread::get_id() == owner_) {
    now_ += ms;
    return;
  }
  ++parked_;
  changed_.notify_all();
  changed_.wait(hold, [this] { return released_; });
  --parked_;
}

void ParkingClock::waitUntilParked(int threads) {
  std::unique_lock<std::mutex> hold(mutex_);
  changed_.wait(hold, [&] { return parked_ >= threads; });
}

void ParkingClock::release() {
  std::lock_guard<std::mutex> hold(mutex_);
  released_ = true;
  changed_.notify_all();
}

Bytes replyFrame(std::uint16_t command, const Bytes& data) {
  const std::size_t length = data.size() + 17;
  Bytes frame{'$', '$', static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF),
              0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF,
              static_cast<std::uint8_t>(command >> 8), static_cast<std::uint8_t>(command & 0xFF)};
  frame.insert(frame.end(), data.begin(), data.end());
  frame.insert(frame.end(), {0x00, 0x00, '\r', '\n'});
  return frame;
}

int AnsweringPort::doOpen(int port) {
  if (!openable.contains(port)) return 0;
  open_.insert(port);
  opened.push_back(port);
  return 1;
}

ReadResult AnsweringPort::doRead(int port, std::span<std::uint8_t> buffer) {
  Bytes& queued = pending_[port];
  const std::size_t n = std::min(buffer.size(), queued.size());
  std::copy_n(queued.begin(), n, buffer.begin());
  queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(n));
  return {n, false};
}

int AnsweringPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  if (!open_.contains(port) || bytes.size() < 17) return 0;
  const auto command = static_cast<std::uint16_t>(bytes[11] << 8 | bytes[12]);
  commandsWritten.push_back(command);
  Bytes reply;
  if (command == 0x8803 && answerHandshakes) reply = replyFrame(0x8803, {0x01});
  if (command == 0x8801) reply = replyFrame(0x8801, settingsImage);
  if (command == 0x8802) {
    lastWriteData.assign(bytes.begin() + 13, bytes.end() - 4);
    reply = replyFrame(0x8802, {writeStatus});
  }
  Bytes& queued = pending_[port];
  queued.insert(queued.end(), reply.begin(), reply.end());
  return 1;
}

int AnsweringPort::doClose(int port) {
  open_.erase(port);
  pending_.erase(port);
  return 1;
}

OpenFailure AnsweringPort::doLastOpenFailure(int port) const {
  const auto it = failures.find(port);
  return it == failures.end() ? OpenFailure::NotMapped : it->second;
}

}  // namespace pelmora::testing
