#include "bench/harness_scenarios.h"

#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "bench/harness_rig.h"
#include "bench/page_set.h"
#include "link/packet.h"
#include "sim/demo_images.h"
#include "sim/pseudo_terminal.h"
#include "sim/sim_tracker.h"

namespace pelmora::bench {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr std::size_t kHandshakeReply = kFrameOverhead + 1;
constexpr char16_t kTimeoutLine[] = u"Send command time out!";

double lineMs(std::size_t bytes, std::uint32_t baud) { return 10'000.0 * static_cast<double>(bytes) / baud; }
double msBetween(TimePoint from, TimePoint to) { return std::chrono::duration<double, std::milli>(to - from).count(); }

void sleepFor(milliseconds ms) { std::this_thread::sleep_for(ms); }

milliseconds randomPause(std::mt19937& rng, int highMs) {
  return milliseconds(std::uniform_int_distribution<int>(0, highMs)(rng));
}

std::unique_ptr<sim::SimTracker> startTracker(const HarnessOptions& options) {
  sim::SimOptions so;
  so.image = sim::extendedDemoImage();
  so.behaviour.baud = options.baud;
  auto tracker = std::make_unique<sim::SimTracker>(std::move(so));
  if (!tracker->start()) {
    std::fprintf(stderr, "cannot start the simulated tracker: %s\n", tracker->errorText().c_str());
    return nullptr;
  }
  return tracker;
}

// A user reads or writes some seconds after the last exchange: by then the
// replies to the handshakes that queued up behind a 3.5 s exchange are
// handled (one frame per 500 ms) and the link has settled into its beat.
void settle(const HarnessOptions& options, std::mt19937& rng) {
  sleepFor(milliseconds(options.settleMs) + randomPause(rng, 1000));
}

void progressDot() {
  std::fputc('.', stderr);
  std::fflush(stderr);
}

// One timed run: `command` on the window's thread at a random phase; the run
// ends when `ended` reports a moment.
template <class Ended>
void timeRun(Rig& rig, std::mt19937& rng, TimedResult& result, std::vector<double>& samples, seconds limit,
             const std::function<void()>& command, Ended ended) {
  const std::size_t from = rig.window().mark();
  const Rig::Phase phase = rig.randomPhase(rng);
  const TimePoint start = rig.ui().runAt(phase.when, command);
  const std::optional<TimePoint> end = ended(from, start + limit);
  ++result.runs;
  if (end) samples.push_back(msBetween(start, *end));
  else ++result.failures;
  if (const std::size_t timeouts = rig.window().countLog(kTimeoutLine, from); timeouts > 0) {
    result.timeouts += timeouts;
    result.timeoutPhasesMs.push_back(phase.msAfterTick);
  }
  progressDot();
}

}  // namespace

std::vector<TimedResult> measureReadWrite(const HarnessOptions& options, std::mt19937& rng) {
  std::vector<TimedResult> results;
  const auto tracker = startTracker(options);
  if (!tracker) return results;
  const std::size_t frame = tracker->image().size() + kFrameOverhead;  // 3401 with the Extended image

  Rig rig(options, explicitPorts({{1, tracker->devicePath()}}));
  if (!rig.openAndWaitOnline(1, seconds(10))) {
    std::fprintf(stderr, "the tracker did not come on line\n");
    return results;
  }
  PageSet pages;
  {
    // The untimed first read, and the pages showing it, as after a real read.
    const std::size_t from = rig.window().mark();
    rig.ui().runAt(SteadyClock::now(), [&rig] { rig.engine().requestReadSettings(); });
    if (!rig.window().waitForSettingsReady(from, SteadyClock::now() + seconds(20))) {
      std::fprintf(stderr, "the first read got no settings\n");
      return results;
    }
    rig.ui().runAt(SteadyClock::now(), [&rig, &pages] {
      const std::lock_guard hold(rig.settings().lock);
      pages.exchangeAll(rig.settings().model, PAGE_LOAD);
    });
  }

  const auto requestResult = [&](const char* name, std::size_t sent, std::size_t received) {
    TimedResult r;
    r.name = name;
    r.bytes = std::to_string(sent) + " + " + std::to_string(received) + " bytes";
    r.lineMs = r.floorMs = lineMs(sent + received, options.baud);
    r.medianRatioLimit = 1.05;
    r.p95RatioLimit = 1.10;
    return r;
  };

  if (options.read && options.reads > 0) {
    TimedResult r = requestResult("Read Settings -> settings ready", kFrameOverhead, frame);
    std::vector<double> samples;
    for (int i = 0; i < options.reads; ++i) {
      settle(options, rng);
      timeRun(rig, rng, r, samples, seconds(20), [&rig] { rig.engine().requestReadSettings(); },
              [&rig](std::size_t from, TimePoint limit) { return rig.window().waitForSettingsReady(from, limit); });
    }
    std::fputc('\n', stderr);
    r.ms = summarize(samples);
    results.push_back(r);
  }

  if (options.write && options.writes > 0) {
    TimedResult r = requestResult("Write Settings -> \"Write setting to tracker ok!\"", frame, kHandshakeReply);
    std::vector<double> samples;
    const auto savePages = [&pages](SettingsModel& model) { pages.exchangeAll(model, PAGE_SAVE); };
    for (int i = 0; i < options.writes; ++i) {
      settle(options, rng);
      timeRun(rig, rng, r, samples, seconds(20), [&rig, &savePages] { rig.engine().requestWriteSettings(savePages); },
              [&rig](std::size_t from, TimePoint limit) {
                return rig.window().waitForLog(u"Write setting to tracker ok!", from, limit);
              });
    }
    std::fputc('\n', stderr);
    r.ms = summarize(samples);
    results.push_back(r);
  }
  return results;
}

TimedResult measureOnline(const HarnessOptions& options, std::mt19937& rng) {
  TimedResult r;
  r.name = "Port opened -> \"Tracker is on line\"";
  r.bytes = std::to_string(kFrameOverhead) + " + " + std::to_string(kHandshakeReply) + " bytes";
  r.lineMs = r.floorMs = lineMs(kFrameOverhead + kHandshakeReply, options.baud);
  r.p95LimitMs = 250;
  const auto tracker = startTracker(options);
  if (!tracker) return r;

  std::vector<double> samples;
  for (int i = 0; i < options.opens; ++i) {
    Rig rig(options, explicitPorts({{1, tracker->devicePath()}}));
    // The communication thread has been waiting for a port for a while.
    sleepFor(milliseconds(200) + randomPause(rng, 1000));
    timeRun(rig, rng, r, samples, seconds(10), [&rig] { rig.engine().openTrackerPort(1); },
            [&rig](std::size_t from, TimePoint limit) {
              return rig.window().waitForLog(u"Tracker is on line", from, limit);
            });
  }
  std::fputc('\n', stderr);
  r.ms = summarize(samples);
  return r;
}

TimedResult measureScan(const HarnessOptions& options, std::mt19937& rng) {
  const int k = options.failingPorts;
  const int m = options.silentPorts;
  const int trackerPort = k + m;
  TimedResult r;
  r.name = "Scan Ports -> \"Tracker is on port " + std::to_string(trackerPort) + "\" (" + std::to_string(k) +
           " ports fail to open, " + std::to_string(m) + " stay silent)";
  r.bytes = std::to_string(kFrameOverhead) + " + " + std::to_string(kHandshakeReply) + " bytes";
  r.lineMs = lineMs(kFrameOverhead + kHandshakeReply, options.baud);
  // Each silent port gets six checks 500 ms apart and a last pause; the
  // tracker's port is seen at its second check, 500 ms after it opened.
  r.floorMs = 3000.0 * m + 500.0;
  r.floorWhy = "3000 ms per silent port + 500 ms to the second check";
  const auto tracker = startTracker(options);
  if (!tracker) return r;

  std::vector<std::pair<int, std::string>> ports;
  for (int p = 1; p < k; ++p) ports.emplace_back(p, "/nonexistent/pelmora-bench/missing" + std::to_string(p));
  std::vector<std::unique_ptr<sim::PseudoTerminal>> silent;
  for (int p = k; p < trackerPort; ++p) {
    auto line = std::make_unique<sim::PseudoTerminal>();
    std::string error;
    if (!line->create(error)) {
      std::fprintf(stderr, "cannot make a silent port: %s\n", error.c_str());
      return r;
    }
    ports.emplace_back(p, line->slavePath());
    silent.push_back(std::move(line));
  }
  ports.emplace_back(trackerPort, tracker->devicePath());

  const std::u16string found = [&] {
    const std::string narrow = "Tracker is on port " + std::to_string(trackerPort);
    return std::u16string(narrow.begin(), narrow.end());
  }();
  const seconds limit(10 + 4 * m + k);
  std::vector<double> samples;
  for (int i = 0; i < options.scans; ++i) {
    Rig rig(options, explicitPorts(ports));
    sleepFor(milliseconds(200) + randomPause(rng, 1000));
    timeRun(rig, rng, r, samples, limit, [&rig] { rig.engine().startScan(); },
            [&rig, &found](std::size_t from, TimePoint until) { return rig.window().waitForLog(found, from, until); });
  }
  std::fputc('\n', stderr);
  r.ms = summarize(samples);
  return r;
}

}  // namespace pelmora::bench
