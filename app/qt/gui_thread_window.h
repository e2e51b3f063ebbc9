#pragma once
// The link engine's notifications, delivered on the window's thread and
// synchronously, as the engine expects: a call from that thread goes
// straight to the window; a call from a worker is handed over and the
// worker waits until the window's thread has run it.
//
// The hand-over uses a standard mutex and condition variable, and the Qt
// event posted to this object only wakes the window's thread: the
// synchronisation stays visible to ThreadSanitizer, which cannot see into
// Qt's own locks.
//
// stopAccepting() makes every later notification return at once without
// reaching the window, and every handed-over one that has not run yet do
// nothing: at shutdown the senders must not wait on a window that is going.

#include <QObject>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

#include "link/tracker_events.h"

namespace pelmora {

class GuiThreadWindow final : public QObject, public TrackerWindow {
 public:
  // Made on the window's thread; `window` must outlive every sender.
  explicit GuiThreadWindow(TrackerWindow& window) : window_(window) {}

  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;
  void requestFinished(std::int32_t type, RequestOutcome outcome) override;

  void stopAccepting() { accepting_.store(false); }

 protected:
  bool event(QEvent* event) override;

 private:
  // One sender's call, on its stack until the window's thread has run it.
  struct Handover {
    void (*run)(const void* call);
    const void* call;
    bool done = false;
  };
  static constexpr std::size_t kMaxSenders = 8;  // the communication thread and scans: a few at most

  template <typename Call>
  void deliver(const Call& call);
  void runHandedOver();

  TrackerWindow& window_;
  std::atomic<bool> accepting_{true};
  std::mutex lock_;  // waiting_ and every Handover::done
  std::condition_variable changed_;
  std::array<Handover*, kMaxSenders> waiting_{};
  std::size_t waitingCount_ = 0;
};

}  // namespace pelmora
