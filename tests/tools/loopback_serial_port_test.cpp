// The loopback serial port: the simulated tracker in this process at the
// other end of a port, as the window's demo uses it on every system.

#include "sim/loopback_serial_port.h"

#include <gtest/gtest.h>

#include "link/tracker_session.h"
#include "sim/demo_images.h"
#include "tests/tools/answer_table.h"

namespace pelmora::sim {
namespace {

// The same bytes as the tracker on a pseudo-terminal, paced the same way.
TEST(LoopbackSerialPort, AnswersEachRequestAsItsBehaviourSays) {
  LoopbackSerialPort tool(1, unpacedExtendedTracker());
  ASSERT_TRUE(tool.open(1));
  answersEachRequestAsItsBehaviourSays(
      {tool, tool.tracker(), [&tool](const SimBehaviour& b) { tool.tracker().setBehaviour(b); }});
}

// The engine's own conversation through the port: the tracker's record
// holds what the write brought, and its next read returns it.
TEST(LoopbackSerialPort, CarriesASessionsReadAndWrite) {
  SimOptions options;
  options.image = basicDemoImage();
  options.behaviour.baud = 0;
  LoopbackSerialPort port(3, options);
  SystemClock clock;
  TrackerSession session(port, clock);
  ASSERT_TRUE(session.open(3));
  EXPECT_FALSE(port.open(3));
  EXPECT_EQ(port.lastOpenFailure(3), OpenFailure::Busy);
  EXPECT_FALSE(port.open(4));
  EXPECT_EQ(port.lastOpenFailure(4), OpenFailure::NotMapped);
  ASSERT_TRUE(session.waitForTracker(5000));

  const TrackerSession::ReadResult read = session.read();
  ASSERT_EQ(read.outcome, RequestOutcome::Done);
  EXPECT_EQ(read.image, basicDemoImage());
  Bytes written = read.image;
  written[88] = 45;  // SmsReportInterval, 30 before
  EXPECT_EQ(session.write(written), RequestOutcome::Done);
  EXPECT_EQ(port.tracker().writtenImage(), written);
  EXPECT_EQ(session.read().image, written);

  const SimCounters seen = port.tracker().counters();
  EXPECT_EQ(seen.readSettings, 2u);
  EXPECT_EQ(seen.writeSettings, 1u);
  EXPECT_EQ(seen.badChecksums + seen.unknownCommands, 0u);
}

}  // namespace
}  // namespace pelmora::sim
