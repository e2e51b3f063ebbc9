// Two sessions in one process, each with its own engine and port, against
// two simulated trackers on pseudo-terminals: each call returns what the
// tracker did.

#include "link/tracker_session.h"

#include <gtest/gtest.h>

#include <thread>

#include "link/posix_serial_port.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora {
namespace {

TEST(TrackerSession, ReadsAndWritesTwoTrackersAtOnce) {
  sim::SimOptions extended;
  extended.image = sim::extendedDemoImage();
  extended.behaviour.baud = 0;
  sim::SimOptions basic = extended;
  basic.image = sim::basicDemoImage();
  basic.behaviour.refuseWrites = true;
  sim::SimTracker first(extended), second(basic);
  ASSERT_TRUE(first.start() && second.start());
  PosixSerialPort port(PortMapConfig{{{3, first.devicePath()}, {4, second.devicePath()}}, false});
  SystemClock clock;
  TrackerSession a(port, clock), b(port, clock);
  ASSERT_TRUE(a.open(3) && b.open(4));
  ASSERT_TRUE(a.waitForTracker(5000) && b.waitForTracker(5000));

  TrackerSession::ReadResult readA, readB;
  std::thread other([&] { readB = b.read(); });
  readA = a.read();
  other.join();
  ASSERT_EQ(readA.outcome, RequestOutcome::Done);
  ASSERT_EQ(readB.outcome, RequestOutcome::Done);
  EXPECT_EQ(readA.image, sim::extendedDemoImage());
  EXPECT_EQ(readB.image, sim::basicDemoImage());
  EXPECT_EQ(readA.model.MagicNumber, 0xF6860001u);

  std::vector<std::uint8_t> image = readA.image;
  image[88] = 45;  // SmsReportInterval
  EXPECT_EQ(a.write(image), RequestOutcome::Done);
  std::fill_n(image.begin(), 68, std::uint8_t{0});  // an Extended header is written as zeros
  EXPECT_EQ(first.writtenImage(), image);
  EXPECT_EQ(b.write(readB.image), RequestOutcome::Refused);
  EXPECT_EQ(b.write(std::vector<std::uint8_t>(100, 0)), RequestOutcome::NoSettings);
  EXPECT_EQ(second.counters().writeSettings, 1u);
}

}  // namespace
}  // namespace pelmora
