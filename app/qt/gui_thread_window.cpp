#include "app/qt/gui_thread_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

namespace pelmora {

template <typename Call>
void GuiThreadWindow::deliver(const Call& call) {
  if (!accepting_.load()) return;
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  Handover handover{[](const void* c) { (*static_cast<const Call*>(c))(); }, &call};
  {
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait(hold, [this] { return waitingCount_ < waiting_.size(); });
    waiting_[waitingCount_++] = &handover;
  }
  // Only a wake-up: the event carries nothing.
  QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [&] { return handover.done; });
}

bool GuiThreadWindow::event(QEvent* event) {
  // Whatever the event, what was handed over runs now (an extra run finds nothing).
  runHandedOver();
  return QObject::event(event);
}

void GuiThreadWindow::runHandedOver() {
  std::array<Handover*, kMaxSenders> taken{};
  std::size_t count = 0;
  {
    std::lock_guard<std::mutex> hold(lock_);
    taken = waiting_;
    count = waitingCount_;
    waitingCount_ = 0;
  }
  changed_.notify_all();  // room for more senders
  // Run without the lock: a call may send notifications of its own from this thread.
  for (std::size_t i = 0; i < count; ++i)
    if (accepting_.load()) taken[i]->run(taken[i]->call);
  {
    std::lock_guard<std::mutex> hold(lock_);
    for (std::size_t i = 0; i < count; ++i) taken[i]->done = true;
  }
  changed_.notify_all();
}

void GuiThreadWindow::trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) {
  // `text` lives until this call returns, which is after the window ran.
  deliver([&] { window_.trackerEvent(kind, value, text); });
}

void GuiThreadWindow::settingsReady() {
  deliver([&] { window_.settingsReady(); });
}

void GuiThreadWindow::requestFinished(std::int32_t type, RequestOutcome outcome) {
  deliver([&] { window_.requestFinished(type, outcome); });
}

}  // namespace pelmora
