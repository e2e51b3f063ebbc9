// A session against a simulated tracker on a pseudo-terminal: each call
// returns what the tracker did. Sessions side by side, and a write that is
// taken and verified, are the command line's apply and write tests.

#include "link/tracker_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "link/posix_serial_port.h"
#include "sim/demo_images.h"
#include "sim/sim_tracker.h"

namespace pelmora {
namespace {

TEST(TrackerSession, SaysWhatTheTrackerDidWithEachRequest) {
  sim::SimOptions options;
  options.image = sim::basicDemoImage();
  options.behaviour.baud = 0;
  options.behaviour.refuseWrites = true;
  sim::SimTracker tracker(options);
  ASSERT_TRUE(tracker.start());
  PosixSerialPort port(PortMapConfig{{{3, tracker.devicePath()}}, false});
  SystemClock clock;
  TrackerSession session(port, clock);
  ASSERT_TRUE(session.open(3));
  ASSERT_TRUE(session.waitForTracker(5000));

  const Result<TrackerSession::TrackerSettings, RequestOutcome> read = session.read();
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->image, sim::basicDemoImage());
  const Status<RequestOutcome> refused = session.write(read->image);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, RequestOutcome::Refused);
  const Status<RequestOutcome> notAnImage = session.write(std::vector<std::uint8_t>(100, 0));
  ASSERT_FALSE(notAnImage);
  EXPECT_EQ(notAnImage.error().kind, RequestOutcome::NoSettings);
  EXPECT_EQ(tracker.counters().writeSettings, 1u);
}

// A settings reply that is not loaded: the result says what was wrong with
// it in the engine's own words, not only the kind.
TEST(TrackerSession, SaysWhyASettingsReplyWasNotLoaded) {
  struct Case {
    const char* label;
    void (*misbehave)(sim::SimBehaviour&);
    RequestOutcome outcome;
    std::string detail;
  };
  const Case cases[] = {
      {"damaged", [](sim::SimBehaviour& b) { b.badSettingsChecksum = true; }, RequestOutcome::Damaged, "damaged (checksum"},
      {"incomplete", [](sim::SimBehaviour& b) { b.shortImage = 100; }, RequestOutcome::Incomplete,
       "incomplete (100 of 3180 bytes)"},
      {"unknown layout", [](sim::SimBehaviour& b) { b.unknownLayout = true; }, RequestOutcome::UnknownLayout,
       "of an unknown layout f6860005"},
  };
  for (const Case& c : cases) {
    sim::SimOptions options;
    options.image = sim::basicDemoImage();
    options.behaviour.baud = 0;
    c.misbehave(options.behaviour);
    sim::SimTracker tracker(options);
    ASSERT_TRUE(tracker.start());
    PosixSerialPort port(PortMapConfig{{{3, tracker.devicePath()}}, false});
    SystemClock clock;
    TrackerSession session(port, clock);
    ASSERT_TRUE(session.open(3));
    ASSERT_TRUE(session.waitForTracker(5000));
    const Result<TrackerSession::TrackerSettings, RequestOutcome> read = session.read();
    ASSERT_FALSE(read) << c.label;
    EXPECT_EQ(read.error().kind, c.outcome) << c.label;
    EXPECT_THAT(read.error().message, ::testing::StartsWith(c.detail)) << c.label;
  }
}

// A front asked to stop gives up its waits for a handshake and for a read.
TEST(TrackerSession, GivesUpAWaitWhenAsked) {
  sim::SimOptions options;
  options.behaviour.baud = 0;
  options.behaviour.ignoreReads = true;
  sim::SimTracker tracker(options);
  ASSERT_TRUE(tracker.start());
  PosixSerialPort port(PortMapConfig{{{3, tracker.devicePath()}}, false});
  SystemClock clock;
  TrackerSession session(port, clock);
  ASSERT_TRUE(session.open(3));
  ASSERT_TRUE(session.waitForTracker(5000));
  int asked = 0;
  const Result<TrackerSession::TrackerSettings, RequestOutcome> read = session.read([&] { return ++asked == 3; });
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().kind, RequestOutcome::GivenUp);
  EXPECT_EQ(asked, 3);
}

}  // namespace
}  // namespace pelmora
