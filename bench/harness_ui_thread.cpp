#include "bench/harness_ui_thread.h"

#include <utility>

namespace pelmora::bench {

WindowThread::WindowThread(LinkEngine& engine)
    : engine_(engine), firstTick_(SteadyClock::now() + kTimerPeriod), nextTick_(firstTick_) {
  thread_ = std::thread(&WindowThread::run, this);
}

WindowThread::~WindowThread() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

TimePoint WindowThread::tickAfter(TimePoint after) const {
  if (after <= firstTick_) return firstTick_;
  const auto periods = (after - firstTick_ + kTimerPeriod - SteadyClock::duration(1)) / kTimerPeriod;
  return firstTick_ + periods * kTimerPeriod;
}

TimePoint WindowThread::runAt(TimePoint when, std::function<void()> command) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !pending_.has_value(); });
  pending_ = Command{when, std::move(command)};
  begun_.reset();
  changed_.notify_all();
  changed_.wait(lock, [this] { return begun_.has_value(); });
  return *begun_;
}

void WindowThread::run() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    const TimePoint now = SteadyClock::now();
    const bool commandDue = pending_ && pending_->when <= now;
    const bool tickDue = nextTick_ <= now;
    if (commandDue && (!tickDue || pending_->when <= nextTick_)) {
      std::function<void()> body = std::move(pending_->body);
      pending_.reset();
      begun_ = SteadyClock::now();
      changed_.notify_all();
      lock.unlock();
      body();
      lock.lock();
      continue;
    }
    if (tickDue) {
      while (nextTick_ <= now) nextTick_ += kTimerPeriod;
      lock.unlock();
      engine_.runHandshake();
      lock.lock();
      continue;
    }
    const TimePoint wake = pending_ && pending_->when < nextTick_ ? pending_->when : nextTick_;
    changed_.wait_until(lock, wake);
  }
}

}  // namespace pelmora::bench
