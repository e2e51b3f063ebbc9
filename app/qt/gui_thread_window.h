#pragma once
// The link engine's notifications, delivered on the window's thread and
// synchronously, as the engine expects: a call from that thread goes
// straight to the window; a call from a worker is queued to it and the
// worker waits until it has run (a blocking queued call made on the
// window's own thread would deadlock, hence the check).
//
// stopAccepting() makes every later notification return at once without
// reaching the window, and every queued one that has not run yet do
// nothing: at shutdown the senders must not wait on a window that is going.

#include <QObject>

#include <atomic>

#include "link/tracker_events.h"

namespace pelmora {

class GuiThreadWindow final : public TrackerWindow {
 public:
  // `receiver` lives on the window's thread; both must outlive every sender.
  GuiThreadWindow(QObject& receiver, TrackerWindow& window) : receiver_(receiver), window_(window) {}

  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;

  void stopAccepting() { accepting_.store(false); }

 private:
  template <typename Call>
  void deliver(const Call& call);

  QObject& receiver_;
  TrackerWindow& window_;
  std::atomic<bool> accepting_{true};
};

}  // namespace pelmora
