#pragma once
// The engine's notifications on the Qt window's thread (the hand-off in
// app/window_thread_hand_off.h): a Qt event posted to this object wakes the
// window's thread and carries nothing, so the hand-over stays outside Qt's
// own locks, which ThreadSanitizer cannot see into (a blocking queued
// connection would hide it).

#include <QObject>

#include "app/window_thread_hand_off.h"

namespace pelmora {

class GuiThreadWindow final : public QObject, public WindowThreadHandOff {
 public:
  // Made on the window's thread; `window` must outlive every sender.
  explicit GuiThreadWindow(TrackerWindow& window) : WindowThreadHandOff(window) {}

 protected:
  // The wake-ups, the only custom events this object gets.
  void customEvent(QEvent* wakeUp) override;

 private:
  bool onWindowThread() const override;
  void wakeWindowThread() override;
};

}  // namespace pelmora
