// The link engine's real threads (communication thread, scan threads, the
// window's one-second handshake on the test's thread, the real clock)
// against the simulated tracker on a pseudo-terminal, one fault per case.
// Each case checks the exact log lines and notifications in order (progress
// left out), the final state, and that every image written to the tracker
// is the encoding of the model and carries only what the tracker sent.
//
// What the engine decides is proved on the fake clock (tests/engine); these
// cases keep what only real threads and a real line show. The first keeps the
// tracker's 9600-baud pacing; the others let it answer as fast as the
// pseudo-terminal takes the bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "link/clock.h"
#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "settings/shared_settings.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"
#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using sim::SimBehaviour;
using testing::Bytes;
using testing::cat;
using Events = std::vector<std::string>;

int count(const Events& events, const std::string& event) {
  return static_cast<int>(std::count(events.begin(), events.end(), event));
}

const std::string kOpen3 = "log:Open  port 3 sucessfully";
const std::string kOnline = "log:Tracker is on line";
const std::string kOffline = "log:Tracker is off line";
const std::string kReading = "log:Read Setting ...";
const std::string kReadOk = "log:Get Tracker's setting ok!";
const std::string kWriting = "log:Write Setting ...";
const std::string kWriteOk = "log:Write setting to tracker ok!";
const std::string kWriteFailed = "log:Fail to write setting to tracker!";
const std::string kDisconnected3 = "log:Device on port 3 disconnected!";

const Events kConnected = {kOpen3, kOnline, "buttons:1"};
const Events kReadDone = {kReading, kReadOk, "ready", "buttons:3"};
const Events kScanFound3 = {"log:Scan port 3 ...", kOpen3, kOnline, "buttons:1",
                            "log:Tracker is on port 3", "select:3"};
const Events kScanFailed012 = {"log:Scan port 0 ...", "log:Fail to open port 0", "log:Scan port 1 ...",
                               "log:Fail to open port 1", "log:Scan port 2 ...", "log:Fail to open port 2"};

constexpr std::uint32_t kFast = 0;  // as fast as the pseudo-terminal takes the bytes
constexpr std::uint32_t k9600 = 9600;
constexpr bool kSilent = true;  // the tracker takes requests but answers none

SimBehaviour makeBehaviour(std::uint32_t baud, bool silent = false) {
  SimBehaviour b;
  b.baud = baud;
  b.silent = silent;
  return b;
}

class FaultMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pelmora-faults-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }

  void TearDown() override {
    engine_.reset();  // joins the engine's threads before the port and the trackers go
    port_.reset();
    tracker_.reset();
    std::filesystem::remove_all(dir_);
  }

  // The tracker behind port 3; the port map names it through a link that
  // follows the tracker to a new pseudo-terminal when it comes back.
  void startEngine(Bytes image, SimBehaviour behaviour) {
    sim::SimOptions options;
    options.image = std::move(image);
    options.behaviour = behaviour;
    options.linkPath = dir_ + "/com3";
    tracker_ = std::make_unique<sim::SimTracker>(std::move(options));
    ASSERT_TRUE(tracker_->start()) << tracker_->errorText();
    port_ = std::make_unique<PosixSerialPort>(PortMapConfig{{{3, tracker_->linkPath()}}, false});  // never a real device
    engine_ = std::make_unique<LinkEngine>(*port_, clock_, window_, settings_, nullptr, options_);
    engine_->startCommunication();
  }

  // The window's one-second timer, a handshake at every tick, run on the
  // test's thread until `done` holds for the events so far (checked every
  // 10 ms), at most `limit`; false if it never did.
  bool runUntil(const std::function<bool(const Events&)>& done, std::chrono::milliseconds limit = 20s) {
    for (const auto deadline = std::chrono::steady_clock::now() + limit; !done(events());
         std::this_thread::sleep_for(10ms)) {
      const auto now = std::chrono::steady_clock::now();
      if (now >= deadline) return false;
      if (now >= nextTick_) {
        engine_->runHandshake();
        nextTick_ += 1s;
      }
    }
    return true;
  }
  // Until `event` has been recorded `times` times in all.
  bool runUntilSeen(const std::string& event, int times = 1, std::chrono::milliseconds limit = 20s) {
    return runUntil([&](const Events& events) { return count(events, event) >= times; }, limit);
  }
  void runFor(std::chrono::milliseconds duration) {
    runUntil([](const Events&) { return false; }, duration);
  }

  // The user picks port 3. The tracker answers only once the opening has
  // been logged, so that "Open  port 3 sucessfully" comes first in any case.
  void startConnected(SimBehaviour behaviour) {
    SimBehaviour silent = behaviour;
    silent.silent = true;
    startEngine(sim::extendedDemoImage(), silent);
    ASSERT_TRUE(engine_->openTrackerPort(3));
    tracker_->setBehaviour(behaviour);
    ASSERT_TRUE(runUntilSeen("buttons:1"));
  }

  // "Read Settings", until the decoded image has been reported in full.
  void read() {
    const int before = count(events(), "buttons:3");
    engine_->requestReadSettings();
    ASSERT_TRUE(runUntilSeen("buttons:3", before + 1, 40s));
  }

  // "Write Settings": the pages save (here: a new SMS interval), then the write.
  void write(std::uint32_t smsReportInterval) {
    ASSERT_TRUE(engine_->settingsWritable());
    const auto replies = [](const Events& events) { return count(events, kWriteOk) + count(events, kWriteFailed); };
    const int before = replies(events());
    engine_->requestWriteSettings([&](SettingsModel& model) { model.SmsReportInterval = smsReportInterval; });
    ASSERT_TRUE(runUntil([&](const Events& events) { return replies(events) > before; }));
  }

  Events events() const { return window_.events(); }
  // The engine's flag and port, and whether it lets the window write.
  void expectState(bool online, int port, bool writable) {
    EXPECT_EQ(engine_->trackerOnline(), online);
    EXPECT_EQ(engine_->currentPort(), port);
    EXPECT_EQ(engine_->settingsWritable(), writable);
  }

  std::string dir_;
  EngineOptions options_;
  testing::RecordingWindow window_;
  SharedSettings settings_;
  SystemClock clock_;
  std::unique_ptr<sim::SimTracker> tracker_;
  std::unique_ptr<PosixSerialPort> port_;
  std::unique_ptr<LinkEngine> engine_;
  std::chrono::steady_clock::time_point nextTick_ = std::chrono::steady_clock::now() + 1s;
};

// 9600, the whole way: a scan finds the tracker, then reads and a write
// pressed at random moments of the handshake's second all succeed, and the
// write carries exactly the image read with the one changed field.
TEST_F(FaultMatrix, ScanThenReadsAndAWriteAtRandomMomentsAt9600) {
  startEngine(sim::basicDemoImage(), makeBehaviour(k9600, kSilent));
  window_.after(kOpen3, [&] { tracker_->setBehaviour(makeBehaviour(k9600)); });
  engine_->startScan();
  ASSERT_TRUE(runUntilSeen("select:3", 1, 30s));
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> phase(0, 999);
  for (int i = 0; i < 3; ++i) {
    runFor(std::chrono::milliseconds(phase(random)));
    read();
  }
  runFor(std::chrono::milliseconds(phase(random)));
  write(15);

  EXPECT_EQ(events(), cat({kScanFailed012, kScanFound3, kReadDone, kReadDone, kReadDone, {kWriting, kWriteOk}}));
  Bytes expected = sim::basicDemoImage();
  expected[20] = 15;  // SmsReportInterval of the basic layout, the one field changed
  EXPECT_EQ(tracker_->writtenImage(), expected);
}

// A firmware that computes the checksum differently, with the check turned
// off, is read; the write it then refuses is reported as failed.
TEST_F(FaultMatrix, ChecksumCheckOffAndARefusedWrite) {
  options_.checkReplyChecksum = false;
  SimBehaviour odd = makeBehaviour(kFast);
  odd.badChecksum = odd.refuseWrites = true;
  startConnected(odd);
  read();
  write(15);

  EXPECT_EQ(events(), cat({kConnected, kReadDone, {kWriting, kWriteFailed}}));
  expectState(true, 3, true);
}

// The line hangs up 1000 bytes into the settings reply, as a pulled USB
// adapter does: the port is closed and the tool goes off line. Plugged back
// in (a new pseudo-terminal behind the same name), "Scan Ports" finds it and
// it is read as before.
TEST_F(FaultMatrix, UnpluggedDuringAReadAndFoundAgainByAScan) {
  startConnected(makeBehaviour(kFast));
  tracker_->hangUpDuringNextSettingsReply(1000);
  engine_->requestReadSettings();
  ASSERT_TRUE(runUntilSeen("buttons:0"));
  EXPECT_EQ(engine_->currentPort(), kNoPort);

  tracker_->setBehaviour(makeBehaviour(kFast, kSilent));
  ASSERT_TRUE(tracker_->comeBack());
  window_.after(kOpen3, [&] { tracker_->setBehaviour(makeBehaviour(kFast)); });
  engine_->startScan();
  ASSERT_TRUE(runUntilSeen("select:3"));
  read();

  EXPECT_EQ(events(), cat({kConnected, {kReading, kDisconnected3, kOffline, "buttons:0"}, kScanFailed012,
                           kScanFound3, kReadDone}));
  expectState(true, 3, true);
}

// "Scan Ports" pressed again twice while a scan waits on port 3 for a
// tracker that does not answer: the running scan ends at its next check,
// and one scan starts again from port 0 and finds the tracker.
TEST_F(FaultMatrix, ScanPressedAgainWhileAScanRuns) {
  startEngine(sim::extendedDemoImage(), makeBehaviour(kFast, kSilent));
  engine_->startScan();
  ASSERT_TRUE(runUntilSeen(kOpen3));
  runFor(700ms);
  window_.after(kOpen3, [&] { tracker_->setBehaviour(makeBehaviour(kFast)); });  // the next opening is answered
  engine_->startScan();
  engine_->startScan();
  ASSERT_TRUE(runUntilSeen("select:3"));
  runFor(1000ms);

  EXPECT_EQ(events(), cat({kScanFailed012, {"log:Scan port 3 ...", kOpen3}, kScanFailed012, kScanFound3}));
  expectState(true, 3, false);
}

}  // namespace
}  // namespace pelmora
