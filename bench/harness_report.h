#pragma once
// What the harness found, printed for a reader and, on request, appended
// as rows of a Markdown table (| Measurement | Result | Target | Met |).

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/harness_stats.h"

namespace pelmora::bench {

// One timed exchange, repeated at random phases of the handshake timer.
struct TimedResult {
  std::string name;      // e.g. "Read Settings -> settings ready"
  std::string bytes;     // what crossed the line, e.g. "17 + 3401 bytes"
  double lineMs = 0;     // line time of those bytes
  double floorMs = 0;    // the least the design allows (the line time unless it waits on purpose)
  std::string floorWhy;  // why the floor is above the line time; empty when it is not
  Summary ms;            // the runs that ended
  std::size_t runs = 0;
  std::size_t failures = 0;  // runs that never ended
  std::size_t timeouts = 0;  // "Send command time out!" during the runs
  std::vector<double> timeoutPhasesMs;  // of the runs that saw one: their start after a handshake tick
  // Targets: a ratio to the line time (0: none) or an absolute limit (0: none).
  double medianRatioLimit = 0;
  double p95RatioLimit = 0;
  double p95LimitMs = 0;
  bool met() const;
};

struct IdleResult {
  std::string name;
  double seconds = 0;
  double cpuSeconds = 0;
  double wakeupsPerSecond = 0;  // context switches of all threads
  long rssKb = 0;
  std::size_t timeouts = 0;
  double limitPercent = 0.5;
  double percent() const { return seconds > 0 ? 100.0 * cpuSeconds / seconds : 0; }
  bool met() const { return percent() < limitPercent; }
};

void printTimed(const TimedResult& r);
void printIdle(const IdleResult& r);
// Appends one row per result to `path`; false when it cannot be written.
bool appendTableRows(const std::string& path, const std::vector<TimedResult>& timed,
                     const std::vector<IdleResult>& idle);

}  // namespace pelmora::bench
