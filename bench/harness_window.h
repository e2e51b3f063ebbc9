#pragma once
// The main window as the harness sees it: every log line and every
// "settings ready" the engine sends, with the moment it came, so that the
// harness can wait for one and time it. Progress and button notifications
// are only counted. Any thread may call it; the engine's senders wait only
// for the record to be written.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/tracker_events.h"

namespace pelmora::bench {

using SteadyClock = std::chrono::steady_clock;
using TimePoint = SteadyClock::time_point;

class HarnessWindow final : public TrackerWindow {
 public:
  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override;
  void settingsReady() override;

  // A position in the record; the waits and counts look only after it.
  std::size_t mark() const;
  // When the first log line equal to `text` after `from` came; nothing when `limit` passed first.
  std::optional<TimePoint> waitForLog(std::u16string_view text, std::size_t from, TimePoint limit) const;
  std::optional<TimePoint> waitForSettingsReady(std::size_t from, TimePoint limit) const;
  std::size_t countLog(std::u16string_view text, std::size_t from) const;
  std::uint64_t progressCount() const;

 private:
  struct Event {
    TimePoint at;
    bool settingsReady = false;
    std::u16string text;  // a log line
  };
  template <class Match>
  std::optional<TimePoint> waitFor(std::size_t from, TimePoint limit, Match match) const;

  mutable std::mutex mutex_;  // the record below
  mutable std::condition_variable changed_;
  std::vector<Event> events_;
  std::uint64_t progress_ = 0;
};

}  // namespace pelmora::bench
