#include "app/qt/gui_thread_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace pelmora {

bool GuiThreadWindow::onWindowThread() const { return QThread::currentThread() == thread(); }

void GuiThreadWindow::wakeWindowThread() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }

void GuiThreadWindow::customEvent(QEvent* /*wakeUp*/) {
  // Not even the event's type is read here: Qt hands the event over under
  // locks ThreadSanitizer cannot see. A wake-up that finds the queue empty
  // was for notifications already run.
  runQueued();
}

}  // namespace pelmora
