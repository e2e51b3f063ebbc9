#pragma once
// A window for tests with the real engine threads: it records what the
// engine tells it (progress left out) and keeps the enabled state of "Read
// Settings" and "Write Settings" as the main window computes it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_engine.h"
#include "link/tracker_events.h"

namespace pelmora::testing {

using Events = std::vector<std::string>;

class TestWindow final : public TrackerWindow {
 public:
  // "log:<text>", "select:<n>", "buttons:<n>", "ready".
  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;

  Events events() const;

  // "Read Settings": the window disables "Write Settings", then reads.
  void pressRead(LinkEngine& engine);

  // Runs `action` once, on the notifying thread, right after `event` has been
  // recorded (for a tracker that should answer only from then on).
  void after(std::string event, std::function<void()> action);

  // Waits until `done` holds for the events so far, or until `until`.
  bool waitUntil(const std::function<bool(const Events&)>& done, std::chrono::steady_clock::time_point until) const;

  // Set on the engine's threads before the notification is recorded.
  std::atomic<bool> readEnabled{false};
  std::atomic<bool> writeEnabled{false};
  const LinkEngine* linkEngine = nullptr;  // whose settingsWritable() an on-line report follows

 private:
  void record(std::string event);

  mutable std::mutex mutex_;  // events_ and hooks_: notifications come from several threads
  mutable std::condition_variable changed_;
  Events events_;
  std::vector<std::pair<std::string, std::function<void()>>> hooks_;
};

// The window's one-second timer: a handshake at every tick, run on the
// test's thread while it waits for what it expects.
class WindowTimer {
 public:
  WindowTimer(LinkEngine& engine, TestWindow& window) : engine_(engine), window_(window) {}

  // Ticks until `done` holds, at most `limit`; false if it never did. `done`
  // is checked at every event and every 10 ms, so it may also look at state
  // outside the window (it runs under the window's lock).
  bool runUntil(const std::function<bool(const Events&)>& done,
                std::chrono::milliseconds limit = std::chrono::seconds(20));
  // Until `event` has been recorded `times` times in all.
  bool runUntilSeen(const std::string& event, int times = 1,
                    std::chrono::milliseconds limit = std::chrono::seconds(20));
  void runFor(std::chrono::milliseconds duration) {
    runUntil([](const Events&) { return false; }, duration);
  }

 private:
  LinkEngine& engine_;
  TestWindow& window_;
  std::chrono::steady_clock::time_point nextTick_ = std::chrono::steady_clock::now() + std::chrono::seconds(1);
};

int count(const Events& events, std::string_view event);

}  // namespace pelmora::testing
