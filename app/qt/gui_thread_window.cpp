#include "app/qt/gui_thread_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <algorithm>
#include <string>
#include <utility>

namespace pelmora {

void GuiThreadWindow::deliver(Notification notification) {
  if (QThread::currentThread() == thread()) {
    if (accepting_.load()) notification(window_);
    return;
  }
  std::unique_lock<std::mutex> hold(lock_);
  if (!accepting_.load()) return;
  const std::uint64_t ticket = ++lastTicket_;
  queue_.push_back({ticket, std::move(notification)});
  hold.unlock();
  QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  hold.lock();
  ran_.wait(hold, [&] { return doneTicket_ >= ticket; });
}

void GuiThreadWindow::customEvent(QEvent* /*wakeUp*/) {
  // Not even the event's type is read here: Qt hands the event over under
  // locks ThreadSanitizer cannot see. A wake-up that finds the queue empty
  // was for notifications already run.
  runQueued();
}

void GuiThreadWindow::runQueued() {
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

void GuiThreadWindow::stopAccepting() {
  std::deque<Queued> dropped;
  {
    std::lock_guard<std::mutex> hold(lock_);
    accepting_.store(false);
    dropped.swap(queue_);
    doneTicket_ = lastTicket_;
  }
  ran_.notify_all();
}

void GuiThreadWindow::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  deliver([kind, value, text = std::u16string(text)](TrackerWindow& window) {
    window.trackerEvent(kind, value, text);
  });
}

void GuiThreadWindow::settingsReady() {
  deliver([](TrackerWindow& window) { window.settingsReady(); });
}

void GuiThreadWindow::requestFinished(std::int32_t type, RequestOutcome outcome) {
  deliver([type, outcome](TrackerWindow& window) { window.requestFinished(type, outcome); });
}

}  // namespace pelmora
