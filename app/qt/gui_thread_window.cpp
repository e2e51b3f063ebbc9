#include "app/qt/gui_thread_window.h"

#include <QMetaObject>
#include <QThread>

namespace pelmora {

template <typename Call>
void GuiThreadWindow::deliver(const Call& call) {
  if (!accepting_.load()) return;
  if (QThread::currentThread() == receiver_.thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(
      &receiver_,
      [this, &call] {
        if (accepting_.load()) call();
      },
      Qt::BlockingQueuedConnection);
}

void GuiThreadWindow::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  // `text` lives until this call returns, which is after the window ran.
  deliver([&] { window_.trackerEvent(kind, value, text); });
}

void GuiThreadWindow::settingsReady() {
  deliver([&] { window_.settingsReady(); });
}

}  // namespace pelmora
