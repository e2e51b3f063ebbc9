#pragma once
// The link engine's notifications, delivered on the window's thread and
// synchronously, as the engine expects (link/tracker_events.h). A call on
// the window's thread goes straight to the window. A call from any other
// thread becomes a notification that owns a copy of everything it says; it
// joins a queue, a posted message (kNotificationMessage) wakes the window's
// thread, which runs the queue in order from its window procedure, and the
// sender waits until its own notification has run. The posted message
// carries nothing: the queue and the waits are a standard mutex and
// condition variable.
//
// stopAccepting() drops what is queued, releases every waiting sender and
// makes every later notification return at once without reaching the
// window: from then on no sender waits for the window's thread.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "link/tracker_events.h"

namespace pelmora {

inline constexpr UINT kNotificationMessage = WM_APP + 1;

class WindowThreadNotifier final : public TrackerWindow {
 public:
  // Made on the window's thread; `window` must outlive every sender.
  explicit WindowThreadNotifier(TrackerWindow& window);

  // The window whose procedure calls runQueued() on kNotificationMessage;
  // set before the first notification can come.
  void wakeWindow(HWND window) { wakeWindow_.store(window); }

  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;
  void requestFinished(std::int32_t type, RequestOutcome outcome) override;

  // On the window's thread.
  void runQueued();
  void stopAccepting();

 private:
  using Notification = std::function<void(TrackerWindow&)>;
  struct Queued {
    std::uint64_t ticket;
    Notification notification;
  };

  void deliver(Notification notification);

  TrackerWindow& window_;
  const DWORD windowThread_;
  std::atomic<HWND> wakeWindow_{nullptr};
  std::atomic<bool> accepting_{true};  // changed under lock_, so that no sender queues after the stop
  std::mutex lock_;                    // the queue and the two tickets
  std::condition_variable ran_;
  std::deque<Queued> queue_;
  std::uint64_t lastTicket_ = 0;  // given to the notification queued last
  std::uint64_t doneTicket_ = 0;  // the notifications up to this ticket have run or were dropped
};

}  // namespace pelmora
