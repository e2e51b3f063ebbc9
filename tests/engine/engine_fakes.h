#pragma once
// Stand-ins for the engine's surroundings: a clock whose sleep only advances
// time, a port whose bytes arrive at scripted times, and a window that
// records what it was told.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"
#include "link/trace.h"
#include "link/tracker_events.h"

namespace pelmora::testing {

using Bytes = std::vector<std::uint8_t>;

// Sleeps of the thread that made the clock advance the time; a sleep of any
// other thread (an engine's own) waits until release(), so that the test's
// thread alone steps the engine.
class FakeClock final : public Clock {
 public:
  std::uint64_t nowMs() override { return now; }
  void sleepMs(std::uint32_t ms) override {
    if (std::this_thread::get_id() != owner_) return park();
    now += ms;
    if (onSleep) onSleep();
  }
  TimeOfDay localTime() override { return {12, 34, 56}; }
  void waitUntilParked() {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return parked_; });
  }
  void release() {
    std::lock_guard<std::mutex> hold(lock_);
    released_ = true;
    changed_.notify_all();
  }

  std::uint64_t now = 1'000'000;
  std::function<void()> onSleep;

 private:
  void park() {
    std::unique_lock<std::mutex> hold(lock_);
    parked_ = true;
    changed_.notify_all();
    changed_.wait(hold, [this] { return released_; });
  }

  const std::thread::id owner_ = std::this_thread::get_id();
  std::mutex lock_;  // the two flags below
  std::condition_variable changed_;
  bool parked_ = false;
  bool released_ = false;
};

class ScriptedPort final : public SerialPort {
 public:
  explicit ScriptedPort(FakeClock& clock) : clock_(clock) {}

  std::set<int> openable;  // ports that open
  // Bytes that become readable on `port` at clock time `at`.
  void arriveAt(int port, std::uint64_t at, Bytes bytes) { incoming_[port].push_back({at, std::move(bytes)}); }
  void arriveNow(int port, Bytes bytes) { arriveAt(port, clock_.now, std::move(bytes)); }
  // Called after every write with the port and the frame written.
  std::function<void(int, const Bytes&)> onWrite;
  std::set<int> refusingWrites;  // ports whose writes fail
  std::map<int, OpenFailure> failures;  // why a port does not open (default: no such device)
  std::map<int, std::string> devices;   // the device a failed open tried

  std::vector<std::pair<int, Bytes>> writes;
  std::vector<std::string> calls;  // "open 3", "close 3", ...
  std::set<int> openPorts;

 private:
  struct Arrival {
    std::uint64_t at;
    Bytes bytes;
  };
  PortStatus doPrepare(int) override { return {}; }
  OpenStatus doOpen(int port) override {
    calls.push_back("open " + std::to_string(port));
    if (!openable.count(port)) {
      const auto it = failures.find(port);
      return staticError(it == failures.end() ? OpenFailure::NoSuchDevice : it->second);
    }
    openPorts.insert(port);
    return {};
  }
  PortResult<std::size_t> doRead(int port, std::span<std::uint8_t> buffer) override;
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override {
    if (refusingWrites.count(port)) return staticError(PortError::DeviceError);
    // The engine writes a long frame in pieces: they are kept as one frame.
    if (!writes.empty() && writes.back().first == port && !wholeFrame(writes.back().second)) {
      writes.back().second.insert(writes.back().second.end(), bytes.begin(), bytes.end());
    } else {
      writes.emplace_back(port, Bytes(bytes.begin(), bytes.end()));
    }
    if (onWrite && wholeFrame(writes.back().second)) onWrite(port, writes.back().second);
    return {};
  }
  static bool wholeFrame(const Bytes& b) { return b.size() >= 4 && b.size() >= static_cast<std::size_t>((b[2] << 8) | b[3]); }
  PortStatus doClose(int port) override {
    calls.push_back("close " + std::to_string(port));
    openPorts.erase(port);
    return {};
  }
  std::string doLastOpenFailureDevice(int port) const override {
    const auto it = devices.find(port);
    return it == devices.end() ? std::string() : it->second;
  }

  FakeClock& clock_;
  std::map<int, std::deque<Arrival>> incoming_;
};

// Records what the engine tells the window; the notifications may come from
// several threads.
class RecordingWindow final : public TrackerWindow {
 public:
  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override { record("ready"); }

  // "log:<text>", "select:<n>", "buttons:<n>", "progress:<n>" (when recordProgress), "ready".
  std::vector<std::string> events() const;
  std::vector<std::string> take();
  // Runs `action` once, on the notifying thread, right after `event` has been
  // recorded: a user or a tracker acting meanwhile.
  void after(std::string event, std::function<void()> action);
  bool recordProgress = false;

 private:
  void record(std::string event);

  mutable std::mutex mutex_;  // events_ and hooks_
  std::vector<std::string> events_;
  std::vector<std::pair<std::string, std::function<void()>>> hooks_;
};

class RecordingTrace final : public TraceSink {
 public:
  void trace(std::string_view message) override { lines.emplace_back(message); }
  std::vector<std::string> lines;
};

// The two requests without data, byte for byte as the tracker expects them.
inline const Bytes kHandshakeRequest{0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF,
                                     0xFF, 0xFF, 0x88, 0x03, 0x71, 0x23, 0x0D, 0x0A};
inline const Bytes kReadRequest{0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF,
                                0xFF, 0xFF, 0x88, 0x01, 0x52, 0x31, 0x0D, 0x0A};

// A "$$" reply with the id of "1111111" and the right checksum.
Bytes replyFrame(std::uint16_t command, const Bytes& data);
inline Bytes handshakeReply() { return replyFrame(0x8803, {0x01}); }
template <typename T>
std::vector<T> cat(std::initializer_list<std::vector<T>> parts) {
  std::vector<T> out;
  for (const std::vector<T>& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

}  // namespace pelmora::testing
