// pelmora_link_harness: how close the tool comes to the line's own limit.
// Real time, real LinkEngine threads, the simulated tracker on a
// pseudo-terminal paced at the line's speed in both directions.

#include <cstdio>
#include <optional>
#include <random>
#include <vector>

#include "bench/harness_idle.h"
#include "bench/harness_options.h"
#include "bench/harness_report.h"
#include "bench/harness_scenarios.h"

int main(int argc, char** argv) {
  using namespace pelmora::bench;
  HarnessOptions options;
  bool exitNow = false;
  if (!parseHarnessOptions(argc, argv, options, exitNow)) return 2;
  if (exitNow) return 0;

  // Before any thread exists: the idle tracker's process.
  std::optional<TrackerProcess> idleTracker = options.idle ? TrackerProcess::start(options.baud) : std::nullopt;
  if (options.idle && !idleTracker)
    std::fprintf(stderr, "cannot start the tracker process; idle with a port is skipped\n");

  std::printf("Line: %u baud, 10 bits per byte. Commands at random phases, %d to %d ms after a tick of the 1 s "
              "handshake timer (seed %u).\n",
              options.baud, options.phaseLowMs, options.phaseHighMs, options.seed);
  std::mt19937 rng(options.seed);
  std::vector<IdleResult> idle;
  if (options.idle) {
    // First, while the process holds nothing but the engine.
    idle = measureIdle(options, idleTracker ? &*idleTracker : nullptr);
    idleTracker.reset();
  }

  std::vector<TimedResult> timed;
  if ((options.read && options.reads > 0) || (options.write && options.writes > 0))
    for (TimedResult& r : measureReadWrite(options, rng)) {
      printTimed(r);
      timed.push_back(std::move(r));
    }
  if (options.online && options.opens > 0) {
    timed.push_back(measureOnline(options, rng));
    printTimed(timed.back());
  }
  if (options.scan && options.scans > 0) {
    timed.push_back(measureScan(options, rng));
    printTimed(timed.back());
  }

  if (!options.tablePath.empty() && !appendTableRows(options.tablePath, timed, idle)) {
    std::fprintf(stderr, "cannot write %s\n", options.tablePath.c_str());
    return 1;
  }
  bool allMet = true;
  for (const TimedResult& r : timed) allMet = allMet && (r.medianRatioLimit == 0 && r.p95LimitMs == 0 ? r.failures == 0 : r.met());
  for (const IdleResult& r : idle) allMet = allMet && r.met();
  std::printf("%s\n", allMet ? "All targets met." : "Some targets missed (see above).");
  return 0;
}
