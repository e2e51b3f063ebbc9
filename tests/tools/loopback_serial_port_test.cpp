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
  const OpenStatus again = port.open(3);
  ASSERT_FALSE(again);
  EXPECT_EQ(again.error().kind, OpenFailure::Busy);
  const OpenStatus other = port.open(4);
  ASSERT_FALSE(other);
  EXPECT_EQ(other.error().kind, OpenFailure::NotMapped);
  ASSERT_TRUE(session.waitForTracker(5000));

  const auto read = session.read();
  ASSERT_TRUE(read) << read.error().message;
  EXPECT_EQ(read->image, basicDemoImage());
  Bytes written = read->image;
  written[88] = 45;  // SmsReportInterval, 30 before
  const auto wrote = session.write(written);
  EXPECT_TRUE(wrote) << wrote.error().message;
  EXPECT_EQ(port.tracker().writtenImage(), written);
  const auto readBack = session.read();
  ASSERT_TRUE(readBack) << readBack.error().message;
  EXPECT_EQ(readBack->image, written);

  const SimCounters seen = port.tracker().counters();
  EXPECT_EQ(seen.readSettings, 2u);
  EXPECT_EQ(seen.writeSettings, 1u);
  EXPECT_EQ(seen.badChecksums + seen.unknownCommands, 0u);
}

}  // namespace
}  // namespace pelmora::sim
