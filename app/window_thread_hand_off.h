#pragma once
// The link engine's notifications, delivered on the window's thread and
// synchronously, as the engine expects (link/tracker_events.h). A call on
// the window's thread goes straight to the window. A call from any other
// thread becomes a notification that owns a copy of everything it says (the
// log text included); it joins a queue that the window's thread runs in
// order once woken, and the sender waits until its own notification has
// run. Any number of threads may send at once.
//
// Each front says how to tell its window's thread and how to wake it (a Qt
// event, a posted window message); the wake-up carries nothing. The queue
// and the waits are a standard mutex and condition variable, so the hand-
// over stays visible to ThreadSanitizer.
//
// stopAccepting() drops what is queued, releases every waiting sender and
// makes every later notification return at once without reaching the
// window: from then on no sender waits for the window's thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "link/tracker_events.h"

namespace pelmora {

class WindowThreadHandOff : public TrackerWindow {
 public:
  // `window` must outlive every sender.
  explicit WindowThreadHandOff(TrackerWindow& window) : window_(window) {}

  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) final;
  void settingsReady() final;
  void requestFinished(std::int32_t type, RequestOutcome outcome) final;

  // On the window's thread: runs what is queued (after a wake-up), and stops.
  void runQueued();
  void stopAccepting();

 private:
  // The calling thread is the window's.
  virtual bool onWindowThread() const = 0;
  // Makes the window's thread call runQueued() soon; from a sender's thread.
  virtual void wakeWindowThread() = 0;

  using Notification = std::function<void(TrackerWindow&)>;
  struct Queued {
    std::uint64_t ticket;
    Notification notification;
  };

  void deliver(Notification notification);

  TrackerWindow& window_;
  std::atomic<bool> accepting_{true};  // changed under lock_, so that no sender queues after the stop
  std::mutex lock_;                    // the queue and the two tickets
  std::condition_variable ran_;
  std::deque<Queued> queue_;
  std::uint64_t lastTicket_ = 0;  // given to the notification queued last
  std::uint64_t doneTicket_ = 0;  // the notifications up to this ticket have run or were dropped
};

}  // namespace pelmora
