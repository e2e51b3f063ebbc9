#include "tests/faults/test_window.h"

#include <algorithm>

namespace pelmora::testing {

void TestWindow::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  if (kind == TRACKER_EVENT_LOG) {
    std::string line = "log:";
    for (const char16_t unit : text) line.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    record(std::move(line));
  } else if (kind == TRACKER_EVENT_SELECT_PORT) {
    record("select:" + std::to_string(value));
  } else if (kind == TRACKER_EVENT_BUTTONS) {
    if (value == BUTTONS_OFFLINE) readEnabled = writeEnabled = false;
    if (value == BUTTONS_ONLINE) readEnabled = true;
    if ((value == BUTTONS_ONLINE && linkEngine != nullptr && linkEngine->settingsWritable()) || value == BUTTONS_SETTINGS_READ)
      writeEnabled = true;
    record("buttons:" + std::to_string(value));
  }
}

void TestWindow::settingsReady() {
  writeEnabled = true;
  record("ready");
}

void TestWindow::record(std::string event) {
  std::function<void()> action;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    events_.push_back(event);
    const auto hook = std::find_if(hooks_.begin(), hooks_.end(), [&](const auto& h) { return h.first == event; });
    if (hook != hooks_.end()) {
      action = std::move(hook->second);
      hooks_.erase(hook);
    }
  }
  if (action) action();
  changed_.notify_all();
}

Events TestWindow::events() const {
  const std::lock_guard<std::mutex> hold(mutex_);
  return events_;
}

void TestWindow::pressRead(LinkEngine& engine) {
  writeEnabled = false;
  engine.requestReadSettings();
}

void TestWindow::after(std::string event, std::function<void()> action) {
  const std::lock_guard<std::mutex> hold(mutex_);
  hooks_.emplace_back(std::move(event), std::move(action));
}

bool TestWindow::waitUntil(const std::function<bool(const Events&)>& done,
                           std::chrono::steady_clock::time_point until) const {
  std::unique_lock<std::mutex> hold(mutex_);
  return changed_.wait_until(hold, until, [&] { return done(events_); });
}

bool WindowTimer::runUntil(const std::function<bool(const Events&)>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto recheck = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
    if (window_.waitUntil(done, std::min({nextTick_, deadline, recheck}))) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    if (now >= nextTick_) {
      engine_.runHandshake();
      nextTick_ += std::chrono::seconds(1);
    }
  }
}

bool WindowTimer::runUntilSeen(const std::string& event, int times, std::chrono::milliseconds limit) {
  return runUntil([&](const Events& events) { return count(events, event) >= times; }, limit);
}

int count(const Events& events, std::string_view event) {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

}  // namespace pelmora::testing
