// The engine in real time, with its threads, against the simulated tracker
// on a pseudo-terminal paced at 9600 baud, the handshake ticking every
// second: requests pressed at random phases of that second.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <random>
#include <thread>

#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

class WaitingWindow final : public TrackerWindow {
 public:
  void trackerEvent(int kind, std::int32_t value, std::u16string_view text) override {
    if (kind == TRACKER_EVENT_LOG) add("log:" + std::string(text.begin(), text.end()));
    else if (kind != TRACKER_EVENT_PROGRESS) add(std::to_string(kind) + ":" + std::to_string(value));
  }
  void settingsReady() override { add("ready"); }

  std::size_t count(const std::string& event) {
    std::lock_guard<std::mutex> hold(lock_);
    return static_cast<std::size_t>(std::count(events_.begin(), events_.end(), event));
  }
  bool waitForCount(const std::string& event, std::size_t n, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> hold(lock_);
    return changed_.wait_for(hold, limit, [&] {
      return static_cast<std::size_t>(std::count(events_.begin(), events_.end(), event)) >= n;
    });
  }

 private:
  void add(std::string event) {
    std::lock_guard<std::mutex> hold(lock_);
    events_.push_back(std::move(event));
    changed_.notify_all();
  }
  std::mutex lock_;  // events come from the engine's threads
  std::condition_variable changed_;
  std::vector<std::string> events_;
};

TEST(EngineEndToEnd, ScanReadsAndWritesAtNineThousandSixHundredBaud) {
  sim::SimOptions options;
  options.behaviour.baud = 9600;
  sim::SimTracker tracker(options);
  ASSERT_TRUE(tracker.start()) << tracker.errorText();

  PosixSerialPort port(PortMapConfig{{{3, tracker.devicePath()}}, false});
  SystemClock clock;
  WaitingWindow window;
  SharedSettings settings;
  LinkEngine engine(port, clock, window, settings, nullptr);
  engine.startCommunication();

  std::atomic<bool> ticking{true};
  std::thread timer([&] {
    while (ticking.load()) {
      engine.runHandshake();
      std::this_thread::sleep_for(1s);
    }
  });

  engine.startScan();
  ASSERT_TRUE(window.waitForCount("log:Tracker is on port 3", 1, 30s));
  EXPECT_EQ(engine.currentPort(), 3);
  // The scan may see the reply's flag before the on-line report is sent.
  ASSERT_TRUE(window.waitForCount("log:Tracker is on line", 1, 5s));

  // Reads and a write pressed at any moment of the handshake's second all succeed.
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> phase(0, 999);
  for (std::size_t i = 1; i <= 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
    engine.requestReadSettings();
    ASSERT_TRUE(window.waitForCount("ready", i, 15s)) << "read " << i;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
  engine.requestWriteSettings([](SettingsModel& model) { model.SmsPassword.assign(u"777777"); });
  ASSERT_TRUE(window.waitForCount("log:Write setting to tracker ok!", 1, 15s));
  EXPECT_EQ(window.count("log:Send command time out!"), 0u);
  EXPECT_EQ(window.count("log:Get Tracker's setting ok!"), 3u);
  {
    // The write sends exactly the encoded model.
    std::lock_guard<std::mutex> hold(settings.lock);
    const std::span<const std::uint8_t> encoded = settings.codec.encodeSettingsBlock(settings.model);
    EXPECT_EQ(tracker.writtenImage(), std::vector<std::uint8_t>(encoded.begin(), encoded.end()));
    EXPECT_EQ(encoded.size(), 3180u);
  }

  ticking.store(false);
  timer.join();
  engine.shutdown();
  tracker.stop();
}

}  // namespace
}  // namespace pelmora
