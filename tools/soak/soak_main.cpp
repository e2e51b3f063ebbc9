// Soak run: the real link engine (its threads, the real clock, the POSIX
// serial port) against the simulated tracker at 9600 baud pacing, reading
// and writing the settings again and again while the window's timer sends a
// handshake every second. Counts what succeeded and what failed, checks
// every written image against the model, and checks that the resident set
// stays flat after warm-up.
//
//   pelmora-soak [--seconds N] [--baud B] [--margin-kib K]
//
// Exit status: 0 when nothing failed and memory stayed within the margin.

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "settings/settings_codec.h"
#include "settings/shared_settings.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace {

using namespace pelmora;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int kPort = 3;

// Counts each log line and notification; notifications arrive on the
// engine's threads, the counts are read on the main thread.
class CountingWindow final : public TrackerWindow {
 public:
  void trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) override {
    if (kind == TrackerEvent::Progress) return;
    std::string key;
    if (kind == TrackerEvent::Log) {
      for (const char16_t unit : text) key.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    } else {
      key = (kind == TrackerEvent::Buttons ? "buttons:" : "select:") + std::to_string(value);
    }
    bump(key);
  }
  void settingsReady() override { bump("ready"); }

  int count(const std::string& key) const {
    const std::lock_guard<std::mutex> hold(mutex_);
    const auto it = counts_.find(key);
    return it == counts_.end() ? 0 : it->second;
  }
  std::map<std::string, int> counts() const {
    const std::lock_guard<std::mutex> hold(mutex_);
    return counts_;
  }
  // Waits until one of `keys` has been counted more often than `before` says, or `until`.
  bool waitForMore(const std::map<std::string, int>& before, std::initializer_list<const char*> keys,
                   SteadyClock::time_point until) const {
    std::unique_lock<std::mutex> hold(mutex_);
    return changed_.wait_until(hold, until, [&] {
      for (const char* key : keys) {
        const auto now = counts_.find(key);
        const auto then = before.find(key);
        if ((now == counts_.end() ? 0 : now->second) > (then == before.end() ? 0 : then->second)) return true;
      }
      return false;
    });
  }

 private:
  void bump(const std::string& key) {
    {
      const std::lock_guard<std::mutex> hold(mutex_);
      ++counts_[key];
    }
    changed_.notify_all();
  }

  mutable std::mutex mutex_;  // counts_: notifications come from several threads
  mutable std::condition_variable changed_;
  std::map<std::string, int> counts_;
};

long residentKib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

struct Options {
  long seconds = 600;
  std::uint32_t baud = 9600;
  long marginKib = 1024;
};

bool parse(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const long value = std::strtol(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--seconds") == 0 && value > 0) options.seconds = value;
    else if (std::strcmp(argv[i], "--baud") == 0 && value >= 0) options.baud = static_cast<std::uint32_t>(value);
    else if (std::strcmp(argv[i], "--margin-kib") == 0 && value >= 0) options.marginKib = value;
    else return false;
  }
  return argc % 2 == 1;
}

// The window's timer: a handshake at every whole second since the start.
class Timer {
 public:
  explicit Timer(LinkEngine& engine) : engine_(engine) {}
  // Waits for `keys` while ticking; false when `limit` passed first.
  bool runUntil(const CountingWindow& window, const std::map<std::string, int>& before,
                std::initializer_list<const char*> keys, std::chrono::milliseconds limit) {
    const auto deadline = SteadyClock::now() + limit;
    for (;;) {
      if (window.waitForMore(before, keys, std::min(next_, deadline))) return true;
      const auto now = SteadyClock::now();
      if (now >= deadline) return false;
      if (now >= next_) tick();
    }
  }
  void runFor(std::chrono::milliseconds duration) {
    const auto end = SteadyClock::now() + duration;
    while (SteadyClock::now() < end) {
      std::this_thread::sleep_until(std::min(next_, end));
      if (SteadyClock::now() >= next_) tick();
    }
  }
  int ticks() const { return ticks_; }

 private:
  void tick() {
    engine_.runHandshake();
    ++ticks_;
    next_ += 1s;
  }
  LinkEngine& engine_;
  SteadyClock::time_point next_ = SteadyClock::now() + 1s;
  int ticks_ = 0;
};

// The model as the engine's codec encodes it now.
std::vector<std::uint8_t> encodeModel(SharedSettings& settings) {
  const std::lock_guard<std::mutex> hold(settings.lock);
  SettingsCodec codec = settings.codec;
  const std::span<const std::uint8_t> bytes = codec.encodeSettingsBlock(settings.model);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, options)) {
    std::fprintf(stderr, "usage: %s [--seconds N] [--baud B] [--margin-kib K]\n", argv[0]);
    return 2;
  }

  char pattern[] = "/tmp/pelmora-soak-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 2;
  const std::string dir = pattern;

  sim::SimOptions simOptions;
  simOptions.image = sim::extendedDemoImage();
  simOptions.behaviour.baud = options.baud;
  simOptions.linkPath = dir + "/com3";
  sim::SimTracker tracker(simOptions);
  if (!tracker.start()) {
    std::fprintf(stderr, "soak: cannot start the simulated tracker: %s\n", tracker.errorText().c_str());
    return 2;
  }

  PortMapConfig map;
  map.automatic = false;  // the simulated tracker only, never a real device
  map.explicitEntries.emplace_back(kPort, simOptions.linkPath);
  PosixSerialPort port(map);
  SystemClock clock;
  CountingWindow window;
  SharedSettings settings;
  int status = 0;
  {
    LinkEngine engine(port, clock, window, settings, nullptr);
    engine.startCommunication();
    Timer timer(engine);

    const auto start = SteadyClock::now();
    const auto end = start + std::chrono::seconds(options.seconds);
    int reads = 0, readsOk = 0, writes = 0, writesOk = 0, imagesChecked = 0, imagesWrong = 0, roundTripsWrong = 0;
    int stalls = 0;
    long warmKib = 0;
    std::uint32_t lastWritten = 0;

    if (!engine.openTrackerPort(kPort) || !timer.runUntil(window, {}, {"Tracker is on line"}, 10s)) {
      std::fprintf(stderr, "soak: the tracker did not come on line\n");
      return 1;
    }
    for (std::uint32_t cycle = 1; SteadyClock::now() < end; ++cycle) {
      // "Read Settings"
      auto before = window.counts();
      ++reads;
      engine.requestReadSettings();
      if (!timer.runUntil(window, before, {"Get Tracker's setting ok!", "Send command time out!"}, 20s)) ++stalls;
      timer.runFor(200ms);  // the rest of the settings report
      if (window.count("Get Tracker's setting ok!") > before["Get Tracker's setting ok!"]) {
        ++readsOk;
        std::uint32_t interval = 0;
        {
          const std::lock_guard<std::mutex> hold(settings.lock);
          interval = settings.model.SmsReportInterval;
        }
        if (lastWritten != 0 && interval != lastWritten) ++roundTripsWrong;  // the tracker keeps what we wrote
      }

      // "Write Settings", with the interval changed on the page.
      before = window.counts();
      ++writes;
      engine.requestWriteSettings([&](SettingsModel& model) { model.SmsReportInterval = 1000 + cycle; });
      if (!timer.runUntil(window, before, {"Write setting to tracker ok!", "Fail to write setting to tracker!",
                                          "Send command time out!"}, 20s))
        ++stalls;
      if (window.count("Write setting to tracker ok!") > before["Write setting to tracker ok!"]) {
        ++writesOk;
        lastWritten = 1000 + cycle;
        ++imagesChecked;
        if (tracker.writtenImage() != encodeModel(settings)) ++imagesWrong;
      }

      if (cycle == 2) warmKib = residentKib();  // buffers, threads and images are all in place by now
    }
    const long endKib = residentKib();
    const double elapsed = std::chrono::duration<double>(SteadyClock::now() - start).count();
    const sim::SimCounters c = tracker.counters();

    const int timeouts = window.count("Send command time out!");
    const int offline = window.count("Tracker is off line");
    std::printf("soak: %.0f s at %u baud, %d handshake ticks (%llu reached the tracker)\n", elapsed,
                options.baud, timer.ticks(), static_cast<unsigned long long>(c.handshakes));
    std::printf("soak: reads  %d, ok %d, failed %d\n", reads, readsOk, reads - readsOk);
    std::printf("soak: writes %d, ok %d, failed %d; written images checked %d, wrong %d; read back wrong %d\n",
                writes, writesOk, writes - writesOk, imagesChecked, imagesWrong, roundTripsWrong);
    std::printf("soak: time-outs %d, off-line reports %d, waits without an outcome %d, bad requests at the tracker %llu\n",
                timeouts, offline, stalls, static_cast<unsigned long long>(c.badChecksums + c.unknownCommands));
    std::printf("soak: resident set after warm-up %ld KiB, at the end %ld KiB (%+ld KiB, margin %ld KiB)\n",
                warmKib, endKib, endKib - warmKib, options.marginKib);

    const bool failed = readsOk != reads || writesOk != writes || imagesWrong != 0 || roundTripsWrong != 0 ||
                        timeouts != 0 || offline != 0 || stalls != 0 || c.badChecksums + c.unknownCommands != 0;
    const bool grew = warmKib == 0 || endKib - warmKib > options.marginKib;
    if (failed) std::printf("soak: FAILED: something went wrong on the link\n");
    if (grew) std::printf("soak: FAILED: memory did not stay flat (or the run was too short to warm up)\n");
    status = failed || grew ? 1 : 0;
    if (status == 0) std::printf("soak: ok\n");
  }
  tracker.stop();
  std::filesystem::remove_all(dir);
  return status;
}
