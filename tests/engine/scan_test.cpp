#include <gtest/gtest.h>

#include "link/link_engine.h"
#include "tests/engine/engine_fakes.h"

namespace pelmora {
namespace {

using namespace pelmora::testing;
using Events = std::vector<std::string>;

class ScanTest : public ::testing::Test {
 protected:
  // Runs a scan to its end on the fake clock; a comm pass follows each
  // check while `answeringPort` is the open port.
  ScanStep runScan(ScanState& scan, int answeringPort = -1) {
    ScanStep step = ScanStep::Continue;
    for (int i = 0; i < 100000 && (step = engine.scanStep(scan)) == ScanStep::Continue; ++i) {
      if (engine.currentPort() == answeringPort && answeringPort != -1) engine.communicationPass();
      if (scan.pauseNext) clock.sleepMs(500);
    }
    return step;
  }

  FakeClock clock;
  ScriptedPort port{clock};
  RecordingWindow window;
  SharedSettings settings;
  LinkEngine engine{port, clock, window, settings, nullptr};
};

TEST_F(ScanTest, AScanOverAMachineWithoutTrackerTriesEveryPort) {
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

TEST_F(ScanTest, FindsTheTrackerAfterASilentPort) {
  port.openable = {2, 5};
  port.onWrite = [&](int p, const Bytes& frame) {
    if (p == 5 && frame[12] == 0x03) port.arriveAt(5, clock.now + 30, handshakeReply());
  };
  ScanState scan = engine.newScan();
  const std::uint64_t before = clock.now;
  EXPECT_EQ(runScan(scan, 5), ScanStep::Found);
  const Events events = window.take();
  EXPECT_EQ(Events(events.end() - 6, events.end()),
            (Events{"log:Scan port 5 ...", "log:Open  port 5 sucessfully", "log:Tracker is on line", "buttons:1",
                    "log:Tracker is on port 5", "select:5"}));
  // The silent port got its six checks, 500 ms apart.
  EXPECT_GE(clock.now - before, 3000u);
  EXPECT_EQ(engine.currentPort(), 5);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 1", "open 2", "close 2", "open 3", "open 4", "open 5"}));
}

// The user picks port 5 while the window shows "Scan port 2 ...": the scan
// neither closes it nor opens its own port, and selects nothing.
TEST_F(ScanTest, AUserChoiceMadeWhileTheScanReportsWins) {
  port.openable = {2, 5};
  window.onEvent = [&](const std::string& event) {
    if (event != "log:Scan port 2 ...") return;
    engine.stopScan();  // what a choice in the chooser does, then the open
    engine.openTrackerPort(5);
  };
  ScanState scan = engine.newScan();
  EXPECT_EQ(runScan(scan), ScanStep::Stopped);
  EXPECT_EQ(engine.currentPort(), 5);
  EXPECT_EQ(port.calls, (std::vector<std::string>{"open 1", "open 5"}));
  for (const std::string& e : window.take()) EXPECT_EQ(e.rfind("select:", 0), std::string::npos) << e;
}

TEST_F(ScanTest, StopsOnRequestOrANewerScan) {
  port.openable = {1};
  ScanState scan = engine.newScan();
  EXPECT_EQ(engine.scanStep(scan), ScanStep::Continue);  // port 0
  EXPECT_EQ(engine.scanStep(scan), ScanStep::Continue);  // port 1 opens
  engine.stopScan();
  EXPECT_EQ(engine.scanStep(scan), ScanStep::Stopped);

  ScanState older = engine.newScan();
  EXPECT_EQ(engine.scanStep(older), ScanStep::Continue);
  ScanState newer = engine.newScan();
  EXPECT_EQ(engine.scanStep(older), ScanStep::Stopped);
  EXPECT_EQ(newer.port, 0);
  EXPECT_EQ(engine.scanStep(newer), ScanStep::Continue);
}

}  // namespace
}  // namespace pelmora
