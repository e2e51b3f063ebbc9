#include "app/window_thread_hand_off.h"

#include <algorithm>
#include <string>
#include <utility>

namespace pelmora {

void WindowThreadHandOff::deliver(Notification notification) {
  if (onWindowThread()) {
    if (accepting_.load()) notification(window_);
    return;
  }
  std::unique_lock<std::mutex> hold(lock_);
  if (!accepting_.load()) return;
  const std::uint64_t ticket = ++lastTicket_;
  queue_.push_back({ticket, std::move(notification)});
  hold.unlock();
  wakeWindowThread();
  hold.lock();
  ran_.wait(hold, [&] { return doneTicket_ >= ticket; });
}

void WindowThreadHandOff::runQueued() {
  std::unique_lock<std::mutex> hold(lock_);
  while (!queue_.empty()) {
    Queued next = std::move(queue_.front());
    queue_.pop_front();
    hold.unlock();
    // Without the lock: the window may send notifications of its own from this thread.
    next.notification(window_);
    hold.lock();
    doneTicket_ = std::max(doneTicket_, next.ticket);
    ran_.notify_all();
  }
}

void WindowThreadHandOff::stopAccepting() {
  std::deque<Queued> dropped;
  {
    std::lock_guard<std::mutex> hold(lock_);
    accepting_.store(false);
    dropped.swap(queue_);
    doneTicket_ = lastTicket_;
  }
  ran_.notify_all();
}

void WindowThreadHandOff::trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) {
  deliver([kind, value, text = std::u16string(text)](TrackerWindow& window) {
    window.trackerEvent(kind, value, text);
  });
}

void WindowThreadHandOff::settingsReady() {
  deliver([](TrackerWindow& window) { window.settingsReady(); });
}

void WindowThreadHandOff::requestFinished(std::int32_t type, RequestOutcome outcome) {
  deliver([type, outcome](TrackerWindow& window) { window.requestFinished(type, outcome); });
}

}  // namespace pelmora
