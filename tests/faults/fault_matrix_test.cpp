// The link engine's real threads (communication thread, scan threads, the
// window's one-second handshake on the test's thread, the real clock)
// against the simulated tracker on a pseudo-terminal, one fault per case.
// Each case checks the exact log lines and notifications in order (progress
// left out), the final state, and that every image written to the tracker
// is the encoding of the model and carries only what the tracker sent.
//
// Cases marked "9600" keep the tracker's serial pacing, since their point is
// a reply that takes seconds on the line; the others let it answer as fast
// as the pseudo-terminal takes the bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/clock.h"
#include "link/link_engine.h"
#include "link/posix_serial_port.h"
#include "settings/settings_codec.h"
#include "settings/shared_settings.h"
#include "tests/faults/test_window.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;
using sim::SimBehaviour;
using testing::count;
using testing::Events;
using Bytes = std::vector<std::uint8_t>;

const std::string kOpen3 = "log:Open  port 3 sucessfully";
const std::string kOnline = "log:Tracker is on line";
const std::string kOffline = "log:Tracker is off line";
const std::string kTimeOut = "log:Send command time out!";
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

Events seq(std::initializer_list<Events> parts) {
  Events all;
  for (const Events& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

constexpr std::uint32_t kFast = 0;  // as fast as the pseudo-terminal takes the bytes
constexpr std::uint32_t k9600 = 9600;

SimBehaviour makeBehaviour(std::uint32_t baud, void (*change)(SimBehaviour&) = nullptr) {
  SimBehaviour b;
  b.baud = baud;
  if (change != nullptr) change(b);
  return b;
}

void silence(SimBehaviour& b) { b.silent = true; }

// What a write must carry after reading `image` (an Extended demo image,
// whose texts are NUL after their end): the image with a zero 68-byte
// header, and the SMS interval (offset 88) if the pages saved one.
Bytes extendedAsWritten(Bytes image, std::optional<std::uint32_t> smsReportInterval = std::nullopt) {
  std::fill_n(image.begin(), 68, std::uint8_t{0});
  for (std::size_t i = 0; smsReportInterval && i < 4; ++i)
    image[88 + i] = static_cast<std::uint8_t>(*smsReportInterval >> (8 * i));
  return image;
}

class FaultMatrix : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/pelmora-faults-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }

  void TearDown() override {
    timer_.reset();
    engine_.reset();  // joins the engine's threads before the port and the trackers go
    port_.reset();
    trackers_.clear();
    std::filesystem::remove_all(dir_);
  }

  // A tracker behind `port`; the port map names it through a link that
  // follows the tracker to a new pseudo-terminal when it comes back.
  void addTracker(int port, Bytes image, SimBehaviour behaviour) {
    sim::SimOptions options;
    options.image = std::move(image);
    options.behaviour = behaviour;
    options.linkPath = dir_ + "/com" + std::to_string(port);
    auto& added = trackers_[port] = std::make_unique<sim::SimTracker>(std::move(options));
    EXPECT_TRUE(added->start()) << added->errorText();
  }
  sim::SimTracker& tracker(int port) { return *trackers_.at(port); }

  void startEngine() {
    PortMapConfig map;
    map.automatic = false;  // never a real device
    for (const auto& [number, tracker] : trackers_) map.explicitEntries.emplace_back(number, tracker->linkPath());
    port_ = std::make_unique<PosixSerialPort>(map);
    engine_ = std::make_unique<LinkEngine>(*port_, clock_, window_, settings_, nullptr, options_);
    window_.linkEngine = engine_.get();
    timer_ = std::make_unique<testing::WindowTimer>(*engine_, window_);
    engine_->startCommunication();
  }

  // The user picks port 3. The tracker answers only once the opening has
  // been logged, so that "Open  port 3 sucessfully" comes first in any case.
  void connect() {
    const SimBehaviour answering = tracker(3).behaviour();
    SimBehaviour silent = answering;
    silent.silent = true;
    tracker(3).setBehaviour(silent);
    engine_->stopScan();
    ASSERT_TRUE(engine_->openTrackerPort(3));
    tracker(3).setBehaviour(answering);
    ASSERT_TRUE(timer_->runUntilSeen("buttons:1"));
  }

  // The usual start: one tracker on port 3, the engine, the user picks port 3.
  void startConnected(SimBehaviour behaviour, Bytes image = sim::extendedDemoImage()) {
    addTracker(3, std::move(image), behaviour);
    startEngine();
    connect();
  }

  // "Read Settings", until the decoded image has been reported in full.
  void read(int times = 1) {
    const int before = count(events(), "buttons:3");
    for (int i = 0; i < times; ++i) window_.pressRead(*engine_);
    ASSERT_TRUE(timer_->runUntilSeen("buttons:3", before + times, 40s));
  }

  // "Write Settings": the pages save (here: a new SMS interval), then the write.
  void write(std::uint32_t smsReportInterval) {
    ASSERT_TRUE(window_.writeEnabled);
    const auto replies = [](const Events& events) { return count(events, kWriteOk) + count(events, kWriteFailed); };
    const int before = replies(events());
    engine_->requestWriteSettings([&](SettingsModel& model) { model.SmsReportInterval = smsReportInterval; });
    ASSERT_TRUE(timer_->runUntil([&](const Events& events) { return replies(events) > before; }));
  }

  // The model as the codec encodes it now.
  Bytes encodedModel() {
    const std::lock_guard<std::mutex> hold(settings_.lock);
    SettingsCodec codec = settings_.codec;
    const std::span<const std::uint8_t> bytes = codec.encodeSettingsBlock(settings_.model);
    return Bytes(bytes.begin(), bytes.end());
  }

  Events events() const { return window_.events(); }
  // The engine's flag and port, and whether the window enables "Read
  // Settings" and "Write Settings".
  void expectState(bool online, int port, bool readEnabled, bool writeEnabled) {
    EXPECT_EQ(engine_->trackerOnline(), online);
    EXPECT_EQ(engine_->currentPort(), port);
    EXPECT_EQ(window_.readEnabled.load(), readEnabled);
    EXPECT_EQ(window_.writeEnabled.load(), writeEnabled);
  }
  // Keeps the window's timer going until `done` holds, at most 10 s.
  bool tickUntil(const std::function<bool()>& done) {
    return timer_->runUntil([&](const Events&) { return done(); }, 10s);
  }

  std::string dir_;
  EngineOptions options_;
  testing::TestWindow window_;
  SharedSettings settings_;
  SystemClock clock_;
  std::map<int, std::unique_ptr<sim::SimTracker>> trackers_;
  std::unique_ptr<PosixSerialPort> port_;
  std::unique_ptr<LinkEngine> engine_;
  std::unique_ptr<testing::WindowTimer> timer_;
};

// 9600, the whole way: a scan finds the tracker, then reads and a write
// pressed at random moments of the handshake's second all succeed, and the
// write carries exactly the encoded model.
TEST_F(FaultMatrix, ScanThenReadsAndAWriteAtRandomMomentsAt9600) {
  addTracker(3, sim::basicDemoImage(), makeBehaviour(k9600, silence));
  startEngine();
  window_.after(kOpen3, [&] { tracker(3).setBehaviour(makeBehaviour(k9600)); });
  engine_->startScan();
  ASSERT_TRUE(timer_->runUntilSeen("select:3", 1, 30s));
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> phase(0, 999);
  for (int i = 0; i < 3; ++i) {
    timer_->runFor(std::chrono::milliseconds(phase(random)));
    read();
  }
  timer_->runFor(std::chrono::milliseconds(phase(random)));
  write(15);

  EXPECT_EQ(events(), seq({kScanFailed012, kScanFound3, kReadDone, kReadDone, kReadDone, {kWriting, kWriteOk}}));
  EXPECT_EQ(tracker(3).writtenImage(), encodedModel());
  EXPECT_EQ(tracker(3).writtenImage().size(), 3180u);
}

// The tracker stops answering: one wait runs out, and the tool says so and
// goes off line. Timing: the 4000 ms handshake wait.
TEST_F(FaultMatrix, SilentTrackerGoesOffLine) {
  startConnected(makeBehaviour(kFast));
  tracker(3).setBehaviour(makeBehaviour(kFast, silence));
  ASSERT_TRUE(timer_->runUntilSeen("buttons:0"));

  EXPECT_EQ(events(), seq({kConnected, {kTimeOut, kOffline, "buttons:0"}}));
  expectState(false, 3, false, false);
  EXPECT_EQ(tracker(3).counters().writeSettings, 0u);
}

// 9600. The wait in progress began with a handshake's 4000 ms well before
// "Read Settings"; the 3.5 s settings reply starts 2 s into it and ends
// beyond it. The wait goes on while the reply is arriving: no time-out, and
// the image arrives whole.
TEST_F(FaultMatrix, SettingsReplyStartingLateInAWaitIsReceivedWhole) {
  const Bytes image = sim::extendedDemoImage();
  startConnected(makeBehaviour(k9600), image);
  // The tracker ignores handshakes for 2.5 s, then answers "Read Settings".
  const std::uint64_t sent = tracker(3).counters().repliesSent;
  ASSERT_TRUE(tickUntil([&] { return tracker(3).counters().repliesSent > sent; }));
  tracker(3).setBehaviour(makeBehaviour(k9600, silence));
  timer_->runFor(2500ms);
  tracker(3).setBehaviour(makeBehaviour(k9600));
  read();
  timer_->runFor(1500ms);  // the handshake replies held up behind it come in

  EXPECT_EQ(events(), seq({kConnected, kReadDone}));
  expectState(true, 3, true, true);
  EXPECT_EQ(encodedModel(), extendedAsWritten(image));
}

// A tracker whose firmware computes the checksum differently, with the
// check turned off: every reply gets through and the write carries the model.
TEST_F(FaultMatrix, ChecksumCheckTurnedOffForAFirmwareThatComputesItDifferently) {
  options_.checkReplyChecksum = false;
  const Bytes image = sim::extendedDemoImage();
  startConnected(makeBehaviour(kFast, [](SimBehaviour& b) { b.badChecksum = true; }), image);
  read();
  write(15);

  EXPECT_EQ(events(), seq({kConnected, kReadDone, {kWriting, kWriteOk}}));
  expectState(true, 3, true, true);
  EXPECT_EQ(tracker(3).writtenImage(), extendedAsWritten(image, 15));
}

TEST_F(FaultMatrix, RefusedWriteIsReported) {
  startConnected(makeBehaviour(kFast, [](SimBehaviour& b) { b.refuseWrites = true; }));
  read();
  write(15);

  EXPECT_EQ(events(), seq({kConnected, kReadDone, {kWriting, kWriteFailed}}));
  expectState(true, 3, true, true);
  EXPECT_EQ(tracker(3).counters().writeSettings, 1u);  // well-formed, refused
  EXPECT_EQ(tracker(3).counters().badChecksums, 0u);
  EXPECT_TRUE(tracker(3).writtenImage().empty());
}

// A settings reply that is damaged, short or of a layout nobody knows: one
// line says why, the model keeps what it had, no settings-ready, "Write
// Settings" stays off, and a write is refused before anything is sent.
struct RefusedReply {
  const char* label;
  void (*fault)(SimBehaviour&);
  const char* line;  // how the log line starts
  friend void PrintTo(const RefusedReply& reply, std::ostream* out) { *out << reply.label; }
};
const RefusedReply kRefusedReplies[] = {
    {"WrongChecksum", [](SimBehaviour& b) { b.badSettingsChecksum = true; }, "log:Settings reply damaged (checksum "},
    {"Short", [](SimBehaviour& b) { b.shortImage = 1000; },
     "log:Tracker's setting incomplete (1000 of 3384 bytes), not loaded!"},
    {"UnknownLayout", [](SimBehaviour& b) { b.unknownLayout = true; },
     "log:Unknown setting layout f6860005, tracker's setting not loaded!"},
};

class RefusedSettingsReply : public FaultMatrix, public ::testing::WithParamInterface<RefusedReply> {};

TEST_P(RefusedSettingsReply, IsNotLoadedAndNothingIsWritten) {
  startConnected(makeBehaviour(kFast));
  read();
  const Bytes before = encodedModel();
  tracker(3).setBehaviour(makeBehaviour(kFast, GetParam().fault));
  window_.pressRead(*engine_);
  const std::size_t lines = kConnected.size() + kReadDone.size() + 2;
  ASSERT_TRUE(timer_->runUntil([&](const Events& e) { return e.size() >= lines; }));
  engine_->requestWriteSettings(nullptr);
  timer_->runFor(1000ms);

  const Events all = events();
  ASSERT_EQ(all.size(), lines + 1);
  EXPECT_EQ(Events(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(lines - 1)),
            seq({kConnected, kReadDone, {kReading}}));
  EXPECT_EQ(all[lines - 1].rfind(GetParam().line, 0), 0u) << all[lines - 1];
  EXPECT_EQ(all.back(), "log:No tracker settings loaded: read the tracker first");
  expectState(true, 3, true, false);
  {
    const std::lock_guard<std::mutex> hold(settings_.lock);
    EXPECT_EQ(settings_.codec.LayoutMagic(), 0xF6860001u);
  }
  EXPECT_EQ(encodedModel(), before);
  EXPECT_EQ(tracker(3).counters().writeSettings, 0u);
}

INSTANTIATE_TEST_SUITE_P(FaultMatrix, RefusedSettingsReply, ::testing::ValuesIn(kRefusedReplies),
                         [](const auto& row) { return std::string(row.param.label); });

// The tracker answers every handshake but never a read, then never a write:
// each request ends at its deadline with one line, and the buttons come back.
TEST_F(FaultMatrix, RequestsWithoutReplyEndAtTheirDeadline) {
  startConnected(makeBehaviour(kFast, [](SimBehaviour& b) { b.ignoreReads = true; }));
  window_.pressRead(*engine_);
  ASSERT_TRUE(timer_->runUntilSeen("log:Read settings: no reply from the tracker"));
  tracker(3).setBehaviour(makeBehaviour(kFast));
  read();
  tracker(3).setBehaviour(makeBehaviour(kFast, [](SimBehaviour& b) { b.ignoreWrites = true; }));
  engine_->requestWriteSettings(nullptr);
  ASSERT_TRUE(timer_->runUntilSeen("log:Write settings: no reply from the tracker"));
  timer_->runFor(500ms);

  EXPECT_EQ(events(), seq({kConnected, {kReading, "log:Read settings: no reply from the tracker", "buttons:1"},
                           kReadDone, {kWriting, "log:Write settings: no reply from the tracker", "buttons:1"}}));
  expectState(true, 3, true, true);
  EXPECT_TRUE(tracker(3).writtenImage().empty());
}

// The line hangs up 1000 bytes into the settings reply, as a pulled USB
// adapter does: the port is closed, the tool goes off line, nothing is decoded.
TEST_F(FaultMatrix, HangUpInTheMiddleOfASettingsReply) {
  startConnected(makeBehaviour(kFast));
  tracker(3).hangUpDuringNextSettingsReply(1000);
  window_.pressRead(*engine_);
  ASSERT_TRUE(timer_->runUntilSeen("buttons:0"));
  timer_->runFor(1500ms);

  EXPECT_EQ(events(), seq({kConnected, {kReading, kDisconnected3, kOffline, "buttons:0"}}));
  expectState(false, kNoPort, false, false);
  EXPECT_EQ(tracker(3).counters().hangUps, 1u);
}

// Unplugged: the port is closed and the tool goes off line. Plugged back in
// (a new pseudo-terminal behind the same name): "Scan Ports" finds it, and
// it is read as before.
TEST_F(FaultMatrix, UnpluggedDeviceIsFoundAgainByAScan) {
  startConnected(makeBehaviour(kFast));
  tracker(3).hangUp();
  ASSERT_TRUE(timer_->runUntilSeen("buttons:0"));
  EXPECT_EQ(events(), seq({kConnected, {kDisconnected3, kOffline, "buttons:0"}}));
  EXPECT_EQ(engine_->currentPort(), kNoPort);

  tracker(3).setBehaviour(makeBehaviour(kFast, silence));
  ASSERT_TRUE(tracker(3).comeBack());
  window_.after(kOpen3, [&] { tracker(3).setBehaviour(makeBehaviour(kFast)); });
  engine_->startScan();
  ASSERT_TRUE(timer_->runUntilSeen("select:3"));
  read();

  EXPECT_EQ(events(),
            seq({kConnected, {kDisconnected3, kOffline, "buttons:0"}, kScanFailed012, kScanFound3, kReadDone}));
  expectState(true, 3, true, true);
}

// 9600 for the first tracker, whose settings reply is on the line when the
// user picks port 5 (another tracker). The on-line state of port 3 ends with
// one off-line report, nothing of the first reply is taken, the tracker on
// port 5 is announced anew, and its settings are read whole.
TEST_F(FaultMatrix, PortChangedDuringARead) {
  addTracker(3, sim::extendedDemoImage(), makeBehaviour(k9600));
  const Bytes second = sim::basicDemoImage();
  addTracker(5, second, makeBehaviour(kFast));
  startEngine();
  connect();
  const std::uint64_t writes = tracker(3).counters().writeCalls;
  window_.pressRead(*engine_);
  ASSERT_TRUE(tickUntil([&] { return tracker(3).counters().writeCalls >= writes + 20; }));
  engine_->stopScan();
  ASSERT_TRUE(engine_->openTrackerPort(5));
  ASSERT_TRUE(timer_->runUntilSeen("buttons:1", 2));
  timer_->runFor(4000ms);  // the rest of the first reply would have come by now

  // The off-line report comes from the engine's thread, around the opening's line.
  Events switched = events();
  const Events head = seq({kConnected, {kReading}});
  ASSERT_GE(switched.size(), head.size() + 5);
  EXPECT_EQ(Events(switched.begin(), switched.begin() + 4), head);
  EXPECT_TRUE(std::is_permutation(switched.begin() + 4, switched.begin() + 7,
                                  Events{"log:Open  port 5 sucessfully", kOffline, "buttons:0"}.begin()));
  EXPECT_EQ(Events(switched.begin() + 7, switched.end()), (Events{kOnline, "buttons:1"}));
  expectState(true, 5, true, false);

  read();
  EXPECT_EQ(events(), seq({switched, kReadDone}));
  EXPECT_EQ(encodedModel(), second);  // a Basic image has no header, and its texts end in NULs
  EXPECT_EQ(tracker(3).counters().writeSettings + tracker(5).counters().writeSettings, 0u);
}

// "Scan Ports" pressed again twice while a scan waits on port 3 for a
// tracker that does not answer: the running scan ends at its next check,
// and one scan starts again from port 0 and finds the tracker.
TEST_F(FaultMatrix, ScanPressedAgainWhileAScanRuns) {
  addTracker(3, sim::extendedDemoImage(), makeBehaviour(kFast, silence));
  startEngine();
  engine_->startScan();
  ASSERT_TRUE(timer_->runUntilSeen(kOpen3));
  timer_->runFor(700ms);
  window_.after(kOpen3, [&] { tracker(3).setBehaviour(makeBehaviour(kFast)); });  // the next opening is answered
  engine_->startScan();
  engine_->startScan();
  ASSERT_TRUE(timer_->runUntilSeen("select:3"));
  timer_->runFor(1000ms);

  EXPECT_EQ(events(), seq({kScanFailed012, {"log:Scan port 3 ...", kOpen3}, kScanFailed012, kScanFound3}));
  expectState(true, 3, true, false);
}

}  // namespace
}  // namespace pelmora
