#include "bench/harness_paced_port.h"

#include <algorithm>
#include <chrono>

namespace pelmora::bench {
namespace {

constexpr std::size_t kQueueBytes = kSerialBufferSize;
constexpr std::size_t kPiece = 16;  // 16.7 ms of line at 9600 baud

}  // namespace

PacedSerialPort::PacedSerialPort(SerialPort& line, std::uint32_t baud)
    : line_(line), baud_(baud), transmitter_(&PacedSerialPort::transmit, this) {}

PacedSerialPort::~PacedSerialPort() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  transmitter_.join();
}

void PacedSerialPort::drop(int port) {
  if (!queue_.empty() && queue_.front().port == port) ++drops_;  // the piece on the line goes too
  for (auto it = queue_.begin(); it != queue_.end();) {
    if (it->port == port) {
      queued_ -= it->bytes.size() - it->sent;
      it = queue_.erase(it);
    } else {
      ++it;
    }
  }
  changed_.notify_all();
}

OpenStatus PacedSerialPort::doOpen(int port) {
  {
    const std::lock_guard lock(mutex_);
    drop(port);
  }
  return line_.open(port);
}

PortStatus PacedSerialPort::doClose(int port) {
  {
    const std::lock_guard lock(mutex_);
    drop(port);
  }
  return line_.close(port);
}

PortStatus PacedSerialPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stop_ || queued_ == 0 || queued_ + bytes.size() <= kQueueBytes; });
  if (stop_) return staticError(PortError::NotOpen);
  queue_.push_back({port, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
  queued_ += bytes.size();
  changed_.notify_all();
  return {};
}

void PacedSerialPort::transmit() {
  using Clock = std::chrono::steady_clock;
  std::unique_lock lock(mutex_);
  Clock::time_point lineFree = Clock::now();
  bool idle = true;
  while (!stop_) {
    if (queue_.empty()) {
      idle = true;
      changed_.wait(lock);
      continue;
    }
    // While bytes keep coming the line never rests, however late this thread wakes.
    if (idle) lineFree = std::max(lineFree, Clock::now());
    idle = false;
    Pending& front = queue_.front();
    const int port = front.port;
    const std::size_t n = std::min(kPiece, front.bytes.size() - front.sent);
    lineFree += std::chrono::microseconds(n * 10'000'000ULL / baud_);
    const std::uint64_t drops = drops_;
    changed_.wait_until(lock, lineFree, [&] { return stop_ || drops_ != drops; });
    if (stop_) break;
    if (drops_ != drops) continue;  // the port was closed or reopened meanwhile
    const std::vector<std::uint8_t> piece(front.bytes.begin() + static_cast<std::ptrdiff_t>(front.sent),
                                          front.bytes.begin() + static_cast<std::ptrdiff_t>(front.sent + n));
    front.sent += n;
    queued_ -= n;
    if (front.sent == front.bytes.size()) queue_.pop_front();
    changed_.notify_all();
    lock.unlock();
    (void)line_.write(port, piece);  // a failure shows as a missing reply, as on a real line
    lock.lock();
  }
}

}  // namespace pelmora::bench
