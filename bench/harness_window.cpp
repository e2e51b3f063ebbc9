#include "bench/harness_window.h"

namespace pelmora::bench {

void HarnessWindow::trackerEvent(TrackerEvent kind, std::int32_t, std::u16string_view text) {
  const TimePoint now = SteadyClock::now();
  {
    const std::lock_guard lock(mutex_);
    if (kind != TrackerEvent::Log) {
      if (kind == TrackerEvent::Progress) ++progress_;
      return;
    }
    events_.push_back({now, false, std::u16string(text)});
  }
  changed_.notify_all();
}

void HarnessWindow::settingsReady() {
  const TimePoint now = SteadyClock::now();
  {
    const std::lock_guard lock(mutex_);
    events_.push_back({now, true, {}});
  }
  changed_.notify_all();
}

std::size_t HarnessWindow::mark() const {
  const std::lock_guard lock(mutex_);
  return events_.size();
}

template <class Match>
std::optional<TimePoint> HarnessWindow::waitFor(std::size_t from, TimePoint limit, Match match) const {
  std::unique_lock lock(mutex_);
  std::size_t next = from;
  for (;;) {
    for (; next < events_.size(); ++next)
      if (match(events_[next])) return events_[next].at;
    if (changed_.wait_until(lock, limit) == std::cv_status::timeout && next == events_.size()) return std::nullopt;
  }
}

std::optional<TimePoint> HarnessWindow::waitForLog(std::u16string_view text, std::size_t from, TimePoint limit) const {
  return waitFor(from, limit, [text](const Event& e) { return !e.settingsReady && e.text == text; });
}

std::optional<TimePoint> HarnessWindow::waitForSettingsReady(std::size_t from, TimePoint limit) const {
  return waitFor(from, limit, [](const Event& e) { return e.settingsReady; });
}

std::size_t HarnessWindow::countLog(std::u16string_view text, std::size_t from) const {
  const std::lock_guard lock(mutex_);
  std::size_t n = 0;
  for (std::size_t i = from; i < events_.size(); ++i)
    if (!events_[i].settingsReady && events_[i].text == text) ++n;
  return n;
}

std::uint64_t HarnessWindow::progressCount() const {
  const std::lock_guard lock(mutex_);
  return progress_;
}

}  // namespace pelmora::bench
