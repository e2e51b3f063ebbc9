#pragma once
// The window's thread, as far as the link sees it: a one-second timer that
// calls runHandshake, and the user's commands (Read, Write, a port choice,
// Scan Ports) run on the same thread. A tick that falls while the thread is
// busy runs once it is free; ticks missed meanwhile are dropped, as a
// window timer drops them.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "bench/harness_window.h"
#include "link/link_engine.h"

namespace pelmora::bench {

class WindowThread {
 public:
  static constexpr std::chrono::milliseconds kTimerPeriod{1000};

  explicit WindowThread(LinkEngine& engine);  // the first tick one period from now
  ~WindowThread();
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  // The first tick at or after `after`.
  TimePoint tickAfter(TimePoint after) const;
  // Runs `command` on the window's thread at `when`, or as soon after as the
  // thread is free. Returns the moment it began, once it has begun.
  TimePoint runAt(TimePoint when, std::function<void()> command);

 private:
  void run();

  LinkEngine& engine_;
  mutable std::mutex mutex_;  // everything below
  std::condition_variable changed_;
  TimePoint firstTick_;
  TimePoint nextTick_;
  struct Command {
    TimePoint when;
    std::function<void()> body;
  };
  std::optional<Command> pending_;
  std::optional<TimePoint> begun_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace pelmora::bench
