// A session against a simulated tracker on a pseudo-terminal: each call
// returns what the tracker did. Sessions side by side, and a write that is
// taken and verified, are the command line's apply and write tests.

#include "link/tracker_session.h"

#include <gtest/gtest.h>

#include "link/posix_serial_port.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

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

  const TrackerSession::ReadResult read = session.read();
  ASSERT_EQ(read.outcome, RequestOutcome::Done);
  EXPECT_EQ(read.image, sim::basicDemoImage());
  EXPECT_EQ(session.write(read.image), RequestOutcome::Refused);
  EXPECT_EQ(session.write(std::vector<std::uint8_t>(100, 0)), RequestOutcome::NoSettings);
  EXPECT_EQ(tracker.counters().writeSettings, 1u);
}

}  // namespace
}  // namespace pelmora
