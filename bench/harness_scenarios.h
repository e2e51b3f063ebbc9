#pragma once
// The timed exchanges, in real time against the simulated tracker, each
// started on the window's thread at a random phase of the handshake timer.

#include <random>
#include <vector>

#include "bench/harness_options.h"
#include "bench/harness_report.h"

namespace pelmora::bench {

// "Read Settings" to settingsReady and "Write Settings" to "Write setting to
// tracker ok!", on one open port (an untimed read comes first: a write needs
// the layout of a read). Either count may be 0.
std::vector<TimedResult> measureReadWrite(const HarnessOptions& options, std::mt19937& rng);
// A port chosen (openTrackerPort) to "Tracker is on line", each run with a
// fresh engine whose communication thread has been running a random while.
TimedResult measureOnline(const HarnessOptions& options, std::mt19937& rng);
// "Scan Ports" to "Tracker is on port %d" past failing and silent ports.
TimedResult measureScan(const HarnessOptions& options, std::mt19937& rng);

}  // namespace pelmora::bench
