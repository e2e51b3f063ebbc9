#include "tests/tools/answer_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <span>

#include "sim/demo_images.h"
#include "tests/engine/engine_fakes.h"

namespace pelmora::sim {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 10s;  // only so that a broken tracker cannot hang the test

using testing::cat;
using testing::kHandshakeRequest;
using testing::kReadRequest;
const auto reply = testing::replyFrame;
const Bytes kHandshakeReply = testing::handshakeReply();

// Exactly `count` bytes from the tool's end of the line; fewer only if the guard passes.
Bytes receive(SerialPort& port, std::size_t count) {
  Bytes got;
  const auto giveUp = std::chrono::steady_clock::now() + kHangGuard;
  while (got.size() < count && std::chrono::steady_clock::now() < giveUp) {
    std::uint8_t buffer[4096];
    port.waitReadable(1, 50);
    const PortResult<std::size_t> n = port.read(1, std::span(buffer, std::min(sizeof buffer, count - got.size())));
    if (!n) break;  // Disconnected
    got.insert(got.end(), buffer, buffer + *n);
  }
  return got;
}

}  // namespace

SimOptions unpacedExtendedTracker() {
  SimOptions options;
  options.image = extendedDemoImage();
  options.behaviour.baud = 0;
  return options;
}

void answersEachRequestAsItsBehaviourSays(const TrackerLine& line) {
  SerialPort& tool = line.tool;
  const Bytes image = line.record.image();

  Bytes badChecksum = kHandshakeRequest;
  badChecksum[14] ^= 0x01;
  const Bytes unknownCommand = {0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF,
                                0xFF, 0xFF, 0x88, 0x04, 0x05, 0x9C, 0x0D, 0x0A};  // checksum right
  using Set = void (*)(SimBehaviour&);

  struct Row {
    const char* label;
    Set configure;  // from an unpaced, well-behaved tracker
    Bytes request;
    Bytes expected;
    std::size_t noise = 0;          // noise bytes before the expected ones
    bool checksumBroken = false;    // the expected bytes but for the checksum
    std::uint64_t writeCalls = 0;   // when not 0: at least this many writes (a busy line may take fewer bytes a write)
    std::chrono::milliseconds atLeast{0};  // a lower bound only: a loaded machine is later, never sooner
  };
  const Row rows[] = {
      {"only good requests", nullptr, cat({{'x', '$', '$', '@'}, badChecksum, unknownCommand, kHandshakeRequest}),
       kHandshakeReply},
      {"paced at 9600 bytes a second", [](SimBehaviour& b) { b.baud = 96000; }, cat({kReadRequest, kHandshakeRequest}),
       cat({reply(0x8801, image), kHandshakeReply}), 0, false, 0, 300ms},
      {"echo", [](SimBehaviour& b) { b.echo = true; }, kHandshakeRequest, cat({kHandshakeRequest, kHandshakeReply})},
      {"noise", [](SimBehaviour& b) { b.noiseBytes = 5000; }, kHandshakeRequest, kHandshakeReply, 5000},
      {"writes of 5 bytes", [](SimBehaviour& b) { b.writeSize = 5; b.writeGapMs = 2; }, kHandshakeRequest,
       kHandshakeReply, 0, false, 4},
      {"bad checksum", [](SimBehaviour& b) { b.badChecksum = true; }, kHandshakeRequest, kHandshakeReply, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    SimBehaviour behaviour;
    behaviour.baud = 0;
    if (row.configure != nullptr) row.configure(behaviour);
    line.setBehaviour(behaviour);
    const SimCounters before = line.record.counters();
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(tool.write(1, row.request));
    const Bytes got = receive(tool, row.noise + row.expected.size());
    EXPECT_GE(std::chrono::steady_clock::now() - sent, row.atLeast);
    // The tool can see the last bytes before the tracker has counted their write.
    ASSERT_TRUE(line.record.waitFor([&](const SimCounters& c) { return c.repliesSent > before.repliesSent; }, kHangGuard));
    ASSERT_EQ(got.size(), row.noise + row.expected.size());
    const auto noiseEnd = got.begin() + static_cast<std::ptrdiff_t>(row.noise);
    EXPECT_TRUE(std::none_of(got.begin(), noiseEnd, [](std::uint8_t b) { return b == '$' || b == '@'; }));
    Bytes frame(noiseEnd, got.end());
    if (row.checksumBroken) {
      const auto at = frame.end() - 4;
      EXPECT_NE(Bytes(at, at + 2), Bytes(row.expected.end() - 4, row.expected.end() - 2));
      std::copy_n(row.expected.end() - 4, 2, at);
    }
    EXPECT_EQ(frame, row.expected);
    if (row.writeCalls != 0 && line.writesInPieces) {
      EXPECT_GE(line.record.counters().writeCalls - before.writeCalls, row.writeCalls);
    }
  }
  const SimCounters seen = line.record.counters();
  EXPECT_EQ(seen.handshakes, 6u);
  EXPECT_EQ(seen.readSettings, 1u);
  EXPECT_EQ(seen.badChecksums, 1u);
  EXPECT_EQ(seen.unknownCommands, 1u);
}

}  // namespace pelmora::sim
