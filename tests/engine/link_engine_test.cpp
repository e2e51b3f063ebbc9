#include "link/link_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using namespace pelmora::testing;
using ::testing::Contains;
using Events = std::vector<std::string>;

Bytes extendedBlock(std::uint8_t tag) {
  Bytes b(3384, 0);
  b[0] = tag;
  b[2] = 0x86;
  b[3] = 0xF6;
  b[68] = '6';  // SmsPassword "6"
  return b;
}

class LinkEngineTest : public ::testing::Test {
 protected:
  void openPort(int number) {
    port.openable.insert(number);
    ASSERT_TRUE(engine.openTrackerPort(number));
    window.take();
    port.writes.clear();
  }
  void goOnline() {
    port.arriveNow(3, handshakeReply());
    engine.communicationPass();
    ASSERT_EQ(window.take(), (Events{"log:Tracker is on line", "buttons:1"}));
  }
  // "Write Settings" with the pages saving `save`: the one frame it sent.
  Bytes pressWrite(const std::function<void(SettingsModel&)>& save) {
    port.writes.clear();
    engine.requestWriteSettings(save);
    EXPECT_EQ(port.writes.size(), 1u);
    return port.writes.empty() ? Bytes{} : port.writes[0].second;
  }

  FakeClock clock;
  ScriptedPort port{clock};
  RecordingWindow window;
  RecordingTrace trace;
  SharedSettings settings;
  LinkEngine engine{port, clock, window, settings, &trace};
};

TEST_F(LinkEngineTest, OpeningAPortSendsAHandshakeAndSaysSo) {
  port.openable.insert(3);
  EXPECT_TRUE(engine.openTrackerPort(3));
  EXPECT_EQ(window.take(), (Events{"log:Open  port 3 sucessfully"}));
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0].second, (Bytes{0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF, 0x88,
                                          0x03, 0x71, 0x23, 0x0D, 0x0A}));
  EXPECT_EQ(engine.replyTimeoutMs(), kHandshakeTimeoutMs);
  EXPECT_THAT(trace.lines, Contains("GprsPackage len:17 cmd:0X8803"));
  EXPECT_THAT(trace.lines, Contains("Shake Hands To Tracker\r\n"));

  // Port 0 is never opened; the previous port is closed all the same.
  EXPECT_FALSE(engine.openTrackerPort(0));
  EXPECT_EQ(window.take(), (Events{"log:Fail to open port 0"}));
  EXPECT_EQ(engine.currentPort(), kNoPort);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 3", "close 3"}));

  // No port: nothing goes on the line.
  port.writes.clear();
  engine.runHandshake();
  EXPECT_EQ(engine.sendPacket(Bytes(17, 0x40)), 1);
  EXPECT_TRUE(port.writes.empty());
}

TEST_F(LinkEngineTest, AssemblesRepliesWhateverTheyArriveIn) {
  openPort(3);
  // Split over reads, after noise.
  const Bytes hs = handshakeReply();
  port.arriveNow(3, {0x00, 0x24, 0x41});
  port.arriveAt(3, clock.now + 100, Bytes(hs.begin(), hs.begin() + 7));
  port.arriveAt(3, clock.now + 300, Bytes(hs.begin() + 7, hs.end()));
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Tracker is on line", "buttons:1"}));
  EXPECT_TRUE(engine.trackerOnline());

  // Two frames in one read: both are handled.
  port.arriveNow(3, cat({replyFrame(0x8802, {0x01}), replyFrame(0x8802, {0x02})}));
  engine.communicationPass();
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write setting to tracker ok!", "log:Fail to write setting to tracker!"}));

  // An echo of our own request ends a wait but the reply behind it is kept.
  const Bytes echo{0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF, 0x88, 0x02, 0x00, 0x00, 0x0D, 0x0A};
  port.arriveNow(3, cat({echo, replyFrame(0x8802, {0x01})}));
  engine.communicationPass();
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write setting to tracker ok!"}));

  // 5000 bytes of noise, then a frame: the noise is dropped, the frame found.
  port.arriveNow(3, Bytes(5000, 0x55));
  port.arriveAt(3, clock.now + 600, replyFrame(0x8802, {0x01}));
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write setting to tracker ok!"}));
  EXPECT_THAT(trace.lines, Contains("gprs_comm data receive>MAX_GPRSDATA_LEN4\r\n"));
}

TEST_F(LinkEngineTest, OnlineAndOfflineAreReportedOncePerChange) {
  openPort(3);
  goOnline();
  for (int i = 0; i < 10; ++i) {
    port.arriveNow(3, handshakeReply());
    engine.communicationPass();
  }
  EXPECT_TRUE(window.take().empty());

  // A "$$" frame without CR LF is no frame: the wait runs out.
  Bytes broken = handshakeReply();
  broken.back() = 0;
  port.arriveNow(3, broken);
  const std::uint64_t before = clock.now;
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Send command time out!", "log:Tracker is off line", "buttons:0"}));
  EXPECT_GE(clock.now - before, kHandshakeTimeoutMs);
  EXPECT_FALSE(engine.trackerOnline());

  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Send command time out!"}));

  goOnline();
}

TEST_F(LinkEngineTest, SettingsReplyIsDecodedThenAnnouncedInOrder) {
  openPort(3);
  window.recordProgress = true;
  bool modelReadyWhenAnnounced = false;
  window.onSettingsReady = [&] {
    std::unique_lock<std::mutex> hold(settings.lock, std::try_to_lock);
    modelReadyWhenAnnounced = hold.owns_lock() && settings.model.SmsPassword == u"6";
  };
  port.arriveNow(3, replyFrame(0x8801, extendedBlock(0x01)));
  engine.communicationPass();
  Events events = window.take();
  std::erase_if(events, [](const std::string& e) { return e.rfind("progress:", 0) == 0 && e != "progress:100"; });
  EXPECT_EQ(events, (Events{"log:Get Tracker's setting ok!", "ready", "buttons:3", "progress:100"}));
  EXPECT_TRUE(modelReadyWhenAnnounced);
  EXPECT_EQ(settings.model.MagicNumber, 0xF6860001u);
}

TEST_F(LinkEngineTest, RequestsCarryTheRightFramesAndReplyTypesRule) {
  openPort(3);
  engine.requestReadSettings();
  EXPECT_EQ(window.take(), (Events{"log:Read Setting ..."}));
  EXPECT_EQ(engine.replyTimeoutMs(), kRequestTimeoutMs);
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(port.writes[0].second, (Bytes{0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF, 0x88,
                                          0x01, 0x52, 0x31, 0x0D, 0x0A}));
  // A write reply answering the read is handled as a write reply.
  port.arriveNow(3, replyFrame(0x8802, {0x01}));
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Write setting to tracker ok!"}));

  // Before any read the write request carries no data.
  bool saveRanUnderLock = false;
  const Bytes empty = pressWrite([&](SettingsModel&) {
    std::unique_lock<std::mutex> probe(settings.lock, std::try_to_lock);
    saveRanUnderLock = !probe.owns_lock();
  });
  EXPECT_TRUE(saveRanUnderLock);
  EXPECT_EQ(window.take(), (Events{"log:Write Setting ..."}));
  EXPECT_EQ(empty.size(), 17u);
  EXPECT_EQ(empty.at(12), 0x02);

  // After an Extended read it carries the 3384-byte image, after Basic 3180.
  port.arriveNow(3, replyFrame(0x8801, extendedBlock(0x01)));
  engine.communicationPass();
  const Bytes extended = pressWrite([](SettingsModel& m) { m.SmsPassword.assign(u"482915"); });
  EXPECT_EQ(extended.size(), 3401u);
  EXPECT_EQ(extended.at(13 + 68), '4');

  port.arriveNow(3, replyFrame(0x8801, Bytes(3180, 0x31)));
  engine.communicationPass();
  EXPECT_EQ(pressWrite(nullptr).size(), 3197u);
}

TEST_F(LinkEngineTest, AReplyStillArrivingWhenTheWaitRunsOutIsCompleted) {
  openPort(3);
  goOnline();
  // The wait in progress took the handshake's 4000 ms; the settings reply
  // starts 3 s into it and needs 3.5 s on the line at 9600 baud.
  const Bytes reply = replyFrame(0x8801, extendedBlock(0x01));
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

TEST_F(LinkEngineTest, AnUnpluggedDeviceIsClosedAndReportedOnce) {
  openPort(3);
  goOnline();
  port.disconnected[3] = true;
  engine.communicationPass();
  EXPECT_EQ(window.take(), (Events{"log:Device on port 3 disconnected!", "log:Tracker is off line", "buttons:0"}));
  EXPECT_EQ(engine.currentPort(), kNoPort);
  EXPECT_EQ(port.calls.back(), "close 3");
  std::uint64_t before = clock.now;
  engine.communicationPass();  // no port: the thread only waits
  EXPECT_TRUE(window.take().empty());
  EXPECT_EQ(clock.now - before, 1000u);

  // A port opened meanwhile ends the wait at the next 100 ms.
  port.disconnected[3] = false;
  clock.onSleep = [&] {
    clock.onSleep = nullptr;
    engine.openTrackerPort(3);
  };
  before = clock.now;
  engine.communicationPass();
  EXPECT_EQ(clock.now - before, 100u);
}

TEST_F(LinkEngineTest, AWriteSentLateInAHandshakeWaitGetsItsOwnTime) {
  openPort(3);
  goOnline();
  engine.runHandshake();  // the next wait takes the handshake's 4000 ms
  const Bytes block = extendedBlock(0x01);
  port.arriveNow(3, replyFrame(0x8801, block));
  engine.communicationPass();
  window.take();

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

}  // namespace
}  // namespace pelmora
