#pragma once
// The link engine's notifications, delivered on the window's thread and
// synchronously, as the engine expects (link/tracker_events.h). A call on
// the window's thread goes straight to the window. A call from any other
// thread becomes a notification that owns a copy of everything it says
// (the log text included); it joins a queue that the window's thread runs
// in order, and the sender waits until its own notification has run. Any
// number of threads may send at once.
//
// The queue and the waits use a standard mutex and condition variable; the
// Qt event posted to this object only wakes the window's thread and carries
// nothing. The hand-over thus stays visible to ThreadSanitizer, which
// cannot see into Qt's own locks (Qt::BlockingQueuedConnection would hide
// it).
//
// stopAccepting() drops what is queued, releases every waiting sender and
// makes every later notification return at once without reaching the
// window: from then on no sender waits for the window's thread.

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "link/tracker_events.h"

namespace pelmora {

class GuiThreadWindow final : public QObject, public TrackerWindow {
 public:
  // Made on the window's thread; `window` must outlive every sender.
  explicit GuiThreadWindow(TrackerWindow& window) : window_(window) {}

  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;
  void requestFinished(std::int32_t type, RequestOutcome outcome) override;

  // On the window's thread, when the window is going.
  void stopAccepting();

 protected:
  // The wake-ups, the only custom events this object gets.
  void customEvent(QEvent* wakeUp) override;

 private:
  using Notification = std::function<void(TrackerWindow&)>;
  struct Queued {
    std::uint64_t ticket;
    Notification notification;
  };

  void deliver(Notification notification);
  void runQueued();

  TrackerWindow& window_;
  std::atomic<bool> accepting_{true};  // changed under lock_, so that no sender queues after the stop
  std::mutex lock_;                    // the queue and the two tickets
  std::condition_variable ran_;
  std::deque<Queued> queue_;
  std::uint64_t lastTicket_ = 0;  // given to the notification queued last
  std::uint64_t doneTicket_ = 0;  // the notifications up to this ticket have run or were dropped
};

}  // namespace pelmora
