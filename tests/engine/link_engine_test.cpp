#include "link/link_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using namespace pelmora::testing;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Pair;
using Events = std::vector<std::string>;

Bytes extendedBlock(char16_t password) {
  Bytes b(3384, 0);
  b[0] = 0x01;
  b[2] = 0x86;
  b[3] = 0xF6;
  b[68] = static_cast<std::uint8_t>(password);  // SmsPassword, one unit
  return b;
}

class LinkEngineTest : public ::testing::Test {
 protected:
  void openPort(int number) {
    port.openable.insert(number);
    ASSERT_TRUE(engine.openTrackerPort(number));
    engine.serviceRequests();  // the handshake
    window.take();
    port.writes.clear();
  }
  void goOnline() {
    port.arriveNow(3, handshakeReply());
    engine.communicationPass();
    ASSERT_EQ(window.take(), (Events{"log:Tracker is on line", "buttons:1"}));
  }
  void online() {
    openPort(3);
    goOnline();
  }
  // On line with settings read: the model's SmsPassword is "6".
  void onlineAndRead() {
    online();
    read(replyFrame(0x8801, extendedBlock(u'6')));
  }
  // "Read Settings" answered by `reply`: what the window was told.
  Events read(const Bytes& reply) {
    engine.requestReadSettings();
    port.arriveNow(3, reply);
    engine.communicationPass();
    return window.take();
  }
  // "Write Settings": the frames it sent (none or one).
  std::vector<Bytes> pressWrite() {
    port.writes.clear();
    engine.requestWriteSettings(nullptr);
    engine.serviceRequests();
    std::vector<Bytes> frames;
    for (const auto& [number, frame] : port.writes) frames.push_back(frame);
    return frames;
  }
  // Runs a scan to its end; a comm pass follows each check while
  // `answeringPort` is the open port.
  ScanStep runScan(ScanState& scan, int answeringPort = -1) {
    ScanStep step = ScanStep::Continue;
    for (int i = 0; i < 100000 && (step = engine.scanStep(scan)) == ScanStep::Continue; ++i) {
      if (engine.currentPort() == answeringPort && answeringPort != -1) engine.communicationPass();
      if (scan.pauseNext) clock.sleepMs(500);
    }
    return step;
  }
  std::u16string password() {
    std::lock_guard<std::mutex> hold(settings.lock);
    return std::u16string(settings.model.SmsPassword.view());
  }

  FakeClock clock;
  ScriptedPort port{clock};
  RecordingWindow window;
  RecordingTrace trace;
  SharedSettings settings;
  LinkEngine engine{port, clock, window, settings, &trace};
};

TEST_F(LinkEngineTest, OpeningAPortQueuesAHandshakeAndSaysSo) {
  port.openable.insert(3);
  EXPECT_TRUE(engine.openTrackerPort(3));
  EXPECT_TRUE(port.writes.empty()) << "only the engine's thread writes";
  engine.serviceRequests();
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0].second, kHandshakeRequest);
  EXPECT_EQ(engine.replyTimeoutMs(), kHandshakeTimeoutMs);
  EXPECT_THAT(trace.lines, Contains("GprsPackage len:17 cmd:0X8803"));

  // Port 0 is never opened; the previous port is closed all the same.
  EXPECT_FALSE(engine.openTrackerPort(0));
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 3", "close 3"}));
  port.writes.clear();
  engine.runHandshake();
  engine.serviceRequests();
  EXPECT_TRUE(port.writes.empty());
}

TEST_F(LinkEngineTest, AReplyAfterMoreNoiseThanTheBufferHoldsIsFound) {
  online();
  // 5000 bytes of noise, then a frame: the noise is dropped, the frame found.
  port.arriveNow(3, Bytes(5000, 0x55));
  port.arriveAt(3, clock.now + 600, replyFrame(0x8801, extendedBlock(u'7')));
  EXPECT_EQ(window.take(), Events{});
  EXPECT_EQ(read({}), (Events{"log:Read Setting ...", "log:Get Tracker's setting ok!", "ready", "buttons:3"}));
  EXPECT_THAT(trace.lines, Contains("gprs_comm data receive>MAX_GPRSDATA_LEN4\r\n"));
}

TEST_F(LinkEngineTest, OnlineAndOfflineAreReportedOncePerChange) {
  openPort(3);
  Bytes damaged = handshakeReply();
  damaged[damaged.size() - 3] ^= 0x55;
  port.arriveNow(3, damaged);
  engine.communicationPass();
  EXPECT_FALSE(engine.trackerOnline()) << "a reply with a wrong checksum is dropped";
  goOnline();
  read(replyFrame(0x8801, extendedBlock(u'6')));
  for (int i = 0; i < 10; ++i) {
    port.arriveNow(3, handshakeReply());
    engine.communicationPass();
  }
  EXPECT_TRUE(window.take().empty());

  const std::uint64_t before = clock.now;
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Send command time out!", "log:Tracker is off line", "buttons:0"}));
  EXPECT_GE(clock.now - before, kHandshakeTimeoutMs);
  EXPECT_FALSE(engine.trackerOnline());
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Send command time out!"}));
  goOnline();
  EXPECT_FALSE(engine.trackerSameSinceRead()) << "the tracker may have been swapped while off line";
}

// A tracker whose firmware computes checksums differently looks silent with
// the check on: the second damaged reply in a row says once how to turn the
// check off, again only after a good reply or a port change.
TEST_F(LinkEngineTest, DamagedRepliesInARowSayOnceHowToTurnTheCheckOff) {
  const auto damage = [](Bytes frame) {
    frame[frame.size() - 3] ^= 0x55;
    return frame;
  };
  const Bytes hello = damage(handshakeReply());
  const Bytes written = damage(replyFrame(0x8802, {0x01}));
  const std::string advice =
      "log:Tracker on port 3 answers, but its reply checksums do not match: to accept them, set [Link] "
      "CheckReplyChecksum=false in ~/.config/KVL/COMM.conf (%APPDATA%\\KVL\\COMM.conf on Windows)";
  const struct {
    const char* label;
    bool reopen;  // the port is opened anew first
    Bytes reply;
    Events expected;
  } rows[] = {
      {"one damaged reply", false, hello, {}},
      {"the second in a row", false, written, {advice}},
      {"the third in a row", false, hello, {}},
      {"a good reply", false, handshakeReply(), {"log:Tracker is on line", "buttons:1"}},
      {"one damaged after it", false, hello, {}},
      {"the second after it", false, hello, {advice}},
      {"one damaged on the port opened anew", true, hello, {"log:Tracker is off line", "buttons:0"}},
      {"the second there", false, hello, {advice}},
  };
  openPort(3);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    if (row.reopen) openPort(3);
    port.arriveNow(3, row.reply);
    engine.communicationPass();
    EXPECT_EQ(window.take(), row.expected);
  }
}

TEST_F(LinkEngineTest, SettingsReplyIsDecodedThenAnnouncedInOrder) {
  online();
  window.recordProgress = true;
  bool modelReadyWhenAnnounced = false;
  window.after("ready", [&] {
    std::unique_lock<std::mutex> hold(settings.lock, std::try_to_lock);
    modelReadyWhenAnnounced = hold.owns_lock() && settings.model.SmsPassword == u"6";
  });
  engine.requestReadSettings();  // a double click: one request goes out
  // The lines before it are checked in the fault matrix; the read ends with a full bar.
  EXPECT_EQ(read(replyFrame(0x8801, extendedBlock(u'6'))).back(), "progress:100");
  EXPECT_TRUE(modelReadyWhenAnnounced);
  EXPECT_THAT(port.writes, ElementsAre(Pair(3, kReadRequest)));
  // What a write carries is what the window test's tracker reads back.
  ASSERT_EQ(pressWrite().size(), 1u);
  EXPECT_EQ(engine.replyTimeoutMs(), kRequestTimeoutMs) << "a write waits 7000 ms";
}

// Nothing is loaded from a reply that is damaged, short or of an unknown
// layout; the model stays, and no write goes out until a read succeeds.
TEST_F(LinkEngineTest, ARefusedReadIsNotLoadedAndNoWriteFollows) {
  online();
  EXPECT_TRUE(pressWrite().empty()) << "nothing read yet";
  EXPECT_EQ(window.take(), (Events{"log:No tracker settings loaded: read the tracker first"}));

  Bytes damaged = replyFrame(0x8801, extendedBlock(u'9'));
  damaged[damaged.size() - 4] ^= 0xFF;
  Bytes unknown = extendedBlock(u'9');
  unknown[0] = 0x05;
  const Bytes full = extendedBlock(u'9');
  const std::uint16_t crc = static_cast<std::uint16_t>((damaged[damaged.size() - 4] << 8) | damaged[damaged.size() - 3]);
  char damagedLine[120];
  std::snprintf(damagedLine, sizeof damagedLine,
                "log:Settings reply damaged (checksum %04x, expected %04x), tracker's setting not loaded!", crc,
                crc ^ 0xFF00);
  const struct {
    const char* label;
    Bytes reply;
    std::string line;
  } cases[] = {
      {"wrong checksum", damaged, damagedLine},
      {"short", replyFrame(0x8801, Bytes(full.begin(), full.begin() + 100)),
       "log:Tracker's setting incomplete (100 of 3384 bytes), not loaded!"},
      {"unknown layout", replyFrame(0x8801, unknown), "log:Unknown setting layout f6860005, tracker's setting not loaded!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    read(replyFrame(0x8801, extendedBlock(u'6')));
    EXPECT_EQ(read(c.reply), (Events{"log:Read Setting ...", c.line}));
    EXPECT_EQ(password(), u"6");
    EXPECT_EQ(settings.codec.LayoutMagic(), 0xF6860001u);
    EXPECT_TRUE(pressWrite().empty());
  }
}

TEST_F(LinkEngineTest, ReadAndWriteGoOnlyToAPortWhoseTrackerAnswered) {
  onlineAndRead();
  port.openable.insert(5);
  engine.openTrackerPort(5);  // silent
  window.take();
  port.writes.clear();
  engine.requestReadSettings();
  engine.communicationPass();
  EXPECT_TRUE(pressWrite().empty());
  EXPECT_EQ(window.take(), (Events{"log:Tracker is off line", "buttons:0",
                                   "log:Read settings: no tracker has answered on this port, nothing sent",
                                   "log:Send command time out!",
                                   "log:Write settings: no tracker has answered on this port, nothing sent"}));
  for (const auto& [number, frame] : port.writes) EXPECT_EQ(frame[12], 0x03) << "only handshakes";
}

// A port change, whatever its cause, ends the on-line state with one report.
TEST_F(LinkEngineTest, APortChangeLeavesNoStaleOnlineState) {
  const struct {
    const char* label;
    std::function<void()> change;
  } cases[] = {
      {"another port", [&] { engine.openTrackerPort(5); }},
      {"COM0", [&] { engine.openTrackerPort(0); }},
      {"the same port again", [&] { engine.openTrackerPort(3); }},
      {"a scan step", [&] { ScanState s = engine.newScan(); engine.scanStep(s); }},
  };
  port.openable = {3, 5};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    onlineAndRead();
    c.change();
    EXPECT_FALSE(engine.trackerOnline());
    EXPECT_FALSE(engine.trackerSameSinceRead());
    window.take();
    engine.communicationPass();
    const Events events = window.take();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(Events(events.begin(), events.begin() + 2), (Events{"log:Tracker is off line", "buttons:0"}));
    EXPECT_EQ(std::count(events.begin(), events.end(), "buttons:0"), 1);
  }
}

TEST_F(LinkEngineTest, ARequestWithoutItsReplyEndsAfterSevenSeconds) {
  onlineAndRead();
  // The tracker answers every handshake, never the read, then never the write.
  port.onWrite = [&](int p, const Bytes& frame) {
    if (frame[12] == 0x03) port.arriveAt(p, clock.now + 50, handshakeReply());
  };
  engine.requestReadSettings();
  const std::uint64_t sent = clock.now;
  for (int i = 0; i < 20 && clock.now < sent + 7600; ++i) {
    engine.runHandshake();
    engine.communicationPass();
  }
  EXPECT_EQ(window.take(), (Events{"log:Read Setting ...", "log:Read settings: no reply from the tracker", "buttons:1"}));
  EXPECT_TRUE(engine.trackerOnline());

  ASSERT_EQ(pressWrite().size(), 1u);
  for (int i = 0; i < 20 && clock.now < sent + 16000; ++i) {
    engine.runHandshake();
    engine.communicationPass();
  }
  EXPECT_EQ(window.take(), (Events{"log:Write Setting ...", "log:Write settings: no reply from the tracker", "buttons:1"}));
  // The write reply after its time is not taken for a success.
  port.arriveNow(3, replyFrame(0x8802, {0x01}));
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write settings: reply ignored, no write was waiting for one"}));
}

TEST_F(LinkEngineTest, RepliesAnswerOnlyWhatWasAsked) {
  onlineAndRead();
  // A reply that no read waits for is ignored.
  port.arriveNow(3, replyFrame(0x8801, extendedBlock(u'9')));
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Read settings: reply ignored, no read was waiting for one"}));
  EXPECT_EQ(password(), u"6");

  // Half a settings reply, then the port is opened anew: the rest is no frame.
  const Bytes reply = replyFrame(0x8801, extendedBlock(u'9'));
  engine.requestReadSettings();
  engine.serviceRequests();
  port.arriveNow(3, Bytes(reply.begin(), reply.begin() + 2000));
  port.arriveAt(3, clock.now + 300, Bytes(reply.begin() + 2000, reply.end()));
  clock.onSleep = [&] {
    clock.onSleep = nullptr;
    engine.openTrackerPort(3);
  };
  engine.communicationPass();
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Read Setting ...", "log:Open  port 3 sucessfully", "log:Tracker is off line",
                                   "buttons:0", "log:Send command time out!"}));
  EXPECT_EQ(password(), u"6");
}

TEST_F(LinkEngineTest, AWriteThePortDidNotTakeWholeFailsAtOnce) {
  onlineAndRead();
  port.refusingWrites.insert(3);
  pressWrite();
  EXPECT_EQ(window.take(), (Events{"log:Write Setting ...",
                                   "log:Write settings: the port did not take the whole request, nothing written",
                                   "buttons:1"}));
  port.refusingWrites.clear();
  clock.now += 8000;
  port.arriveNow(3, handshakeReply());
  engine.communicationPass();
  EXPECT_TRUE(window.take().empty()) << "nothing outstanding, so no time-out line later";
}

TEST_F(LinkEngineTest, AReplyStillArrivingWhenTheWaitRunsOutIsCompleted) {
  online();
  engine.requestReadSettings();
  engine.serviceRequests();
  window.take();
  // The wait took the handshake's 4000 ms; the settings reply starts 3 s
  // into it and needs 3.5 s on the line at 9600 baud.
  const Bytes reply = replyFrame(0x8801, extendedBlock(u'6'));
  const std::uint64_t start = clock.now + 3000;
  for (std::size_t i = 0; i < reply.size(); i += 64) {
    const std::size_t end = std::min(reply.size(), i + 64);
    port.arriveAt(3, start + i * 1000 / 960, Bytes(reply.begin() + static_cast<std::ptrdiff_t>(i),
                                                    reply.begin() + static_cast<std::ptrdiff_t>(end)));
  }
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Get Tracker's setting ok!", "ready", "buttons:3"}));
  EXPECT_GT(clock.now, start + 3400);
}

TEST_F(LinkEngineTest, AWriteSentLateInAHandshakeWaitGetsItsOwnTime) {
  onlineAndRead();
  engine.runHandshake();  // the next wait takes the handshake's 4000 ms

  // 900 ms into that wait the user writes; the request alone is 3.5 s on
  // the line, and the tracker answers when it has it all.
  const std::uint64_t start = clock.now;
  port.onWrite = [&](int p, const Bytes& frame) {
    if (frame[12] == 0x02) port.arriveAt(p, clock.now + 3600, replyFrame(0x8802, {0x01}));
  };
  clock.onSleep = [&] {
    if (clock.now < start + 900) return;
    clock.onSleep = nullptr;
    engine.requestWriteSettings(nullptr);
  };
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write Setting ...", "log:Write setting to tracker ok!"}));
  EXPECT_GT(clock.now, start + 4000);
}

TEST_F(LinkEngineTest, ScanOverAMachineWithoutTrackerTriesEveryPort) {
  ScanState scan = engine.newScan();
  EXPECT_EQ(runScan(scan), ScanStep::Exhausted);
  Events expected;
  for (int p = 0; p < 100; ++p) {
    expected.push_back("log:Scan port " + std::to_string(p) + " ...");
    expected.push_back("log:Fail to open port " + std::to_string(p));
  }
  expected.push_back("log:Tracker is off line ");
  EXPECT_EQ(window.take(), expected);
}

TEST_F(LinkEngineTest, ScanFindsTheTrackerAfterASilentPort) {
  port.openable = {2, 5};
  port.onWrite = [&](int p, const Bytes& frame) {
    if (p == 5 && frame[12] == 0x03) port.arriveAt(5, clock.now + 30, handshakeReply());
  };
  ScanState scan = engine.newScan();
  const std::uint64_t before = clock.now;
  EXPECT_EQ(runScan(scan, 5), ScanStep::Found);
  // What a scan that finds its tracker logs is checked in the fault matrix.
  // The silent port got its six checks, 500 ms apart.
  EXPECT_GE(clock.now - before, 3000u);
  EXPECT_EQ(engine.currentPort(), 5);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 1", "open 2", "close 2", "open 3", "open 4", "open 5"}));
}

// The user picks port 5 while the window shows "Scan port 2 ...": the scan
// neither closes it nor opens its own port, and selects nothing.
TEST_F(LinkEngineTest, ScanLosesToAUserChoiceMadeWhileItReports) {
  port.openable = {2, 5};
  window.after("log:Scan port 2 ...", [&] {
    engine.stopScan();  // what a choice in the chooser does, then the open
    engine.openTrackerPort(5);
  });
  ScanState scan = engine.newScan();
  EXPECT_EQ(runScan(scan), ScanStep::Stopped);
  EXPECT_EQ(engine.currentPort(), 5);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 1", "open 5"}));
  for (const std::string& e : window.take()) EXPECT_EQ(e.rfind("select:", 0), std::string::npos) << e;
}

}  // namespace
}  // namespace pelmora
