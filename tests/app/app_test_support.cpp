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

int AnsweringPort::doOpen(int port) {
  if (!openable.contains(port)) return 0;
  open_.insert(port);
  opened.push_back(port);
  return 1;
}

ReadResult AnsweringPort::doRead(int port, std::span<std::uint8_t> buffer) {
  std::vector<std::uint8_t>& queued = pending_[port];
  const std::size_t n = std::min(buffer.size(), queued.size());
  std::copy_n(queued.begin(), n, buffer.begin());
  queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(n));
  return {n, false};
}

int AnsweringPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  if (!open_.contains(port) || bytes.size() < 17) return 0;
  if (bytes[11] == 0x88 && bytes[12] == 0x03) {
    // The handshake reply of the id "1111111"; its checksum is not examined.
    pending_[port].insert(pending_[port].end(), {'$', '$', 0x00, 0x12, 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF,
                                                 0x88, 0x03, 0x01, 0x00, 0x00, '\r', '\n'});
  }
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
