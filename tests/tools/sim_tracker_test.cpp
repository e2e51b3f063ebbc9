// The simulated tracker on a pseudo-terminal. Its failure modes that the
// engine can observe (silence, late replies, refused writes, unknown
// layouts, short images, hang-ups) are proved through the engine by the
// fault matrix, what it stores of a write by the command-line tool's apply
// test; those the engine cannot tell apart from a good reply are proved by
// the answer table.

#include <gtest/gtest.h>

#include "link/posix_serial_port.h"
#include "sim/sim_tracker.h"
#include "tests/tools/answer_table.h"

namespace pelmora::sim {
namespace {

TEST(SimTracker, AnswersEachRequestAsItsBehaviourSays) {
  SimTracker tracker(unpacedExtendedTracker());
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  PosixSerialPort tool(PortMapConfig{{{1, tracker.devicePath()}}, false});  // the tool's end, as the engine opens it
  ASSERT_TRUE(tool.open(1));
  answersEachRequestAsItsBehaviourSays(
      {tool, tracker.record(), [&tracker](const SimBehaviour& b) { tracker.setBehaviour(b); }, true});
}

}  // namespace
}  // namespace pelmora::sim
