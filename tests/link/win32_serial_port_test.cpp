// The Win32 serial port against the simulated tracker, under Wine:
// tools/windows-ci.sh starts the tracker on a pseudo-terminal, links the
// prefix's COMn to it and names n in PELMORA_TEST_COM_PORT. With
// PELMORA_TEST_HANGUP set, the script ends the tracker after the second
// handshake request, and the port must then report the line as gone. With
// PELMORA_TEST_STALLED set, the script has stopped the tracker's process: the
// line takes bytes until the pseudo-terminal is full, then none.

#include "link/win32_serial_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "link/frame_assembler.h"
#include "link/packet.h"
#include "sim/demo_images.h"

namespace pelmora {
namespace {

using namespace std::chrono_literals;

int testPort() {
  const char* text = std::getenv("PELMORA_TEST_COM_PORT");
  return text ? std::atoi(text) : 0;
}

void send(SerialPort& port, int number, CommandType type) {
  FrameBuffer frame{};
  const FrameResult<std::size_t> length = buildRequest(makeRequest(type), frame, nullptr);
  ASSERT_TRUE(length) << length.error().message;
  const PortStatus written = port.write(number, std::span(frame).first(*length));
  ASSERT_TRUE(written) << written.error().message;
}

// Sends a request of `type` and waits (at most 10 s) for one reply frame.
TrackerReply exchange(SerialPort& port, int number, CommandType type) {
  send(port, number, type);
  FrameAssembler assembler;
  FrameBuffer frame{};
  TrackerReply reply;
  const auto giveUp = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < giveUp) {
    const PortResult<std::size_t> got = port.read(number, assembler.freeSpace());
    if (!got) break;  // Disconnected
    assembler.commit(*got);
    if (const std::size_t size = assembler.takeFrame(frame)) {
      const FrameStatus parsed = parseReply(std::span(frame).first(size), reply);
      EXPECT_TRUE(parsed) << parsed.error().message;
      return reply;
    }
    if (*got == 0) std::this_thread::sleep_for(5ms);
  }
  ADD_FAILURE() << "no reply";
  return reply;
}

class Win32SerialPortUnderWine : public ::testing::Test {
 protected:
  void SetUp() override {
    if (number == 0) GTEST_SKIP() << "needs the simulated tracker behind a COM port (tools/windows-ci.sh)";
    const OpenStatus opened = port.open(number);
    ASSERT_TRUE(opened) << opened.error().message;
  }
  const int number = testPort();
  Win32SerialPort port;
};

TEST_F(Win32SerialPortUnderWine, HandshakeAndSettingsRead) {
  const TrackerReply hello = exchange(port, number, Handshake);
  EXPECT_EQ(hello.type, Handshake);
  EXPECT_TRUE(hello.accepted);

  const TrackerReply settings = exchange(port, number, ReadSettings);
  EXPECT_EQ(settings.type, ReadSettings);
  const std::vector<std::uint8_t> expected = sim::basicDemoImage();  // the tracker runs with --image basic
  ASSERT_EQ(settings.dataLength, expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), settings.data.begin()));

}

TEST_F(Win32SerialPortUnderWine, TrackerGoneIsReportedAsDisconnected) {
  if (!std::getenv("PELMORA_TEST_HANGUP")) GTEST_SKIP() << "needs PELMORA_TEST_HANGUP and a script that ends the tracker";
  // The second handshake tells the script to end the tracker now; its reply may or may not come first.
  send(port, number, Handshake);
  std::array<std::uint8_t, kSerialBufferSize> buffer{};
  bool gone = false;
  const auto giveUp = std::chrono::steady_clock::now() + 20s;
  while (!gone && std::chrono::steady_clock::now() < giveUp) {
    const PortResult<std::size_t> read = port.read(number, buffer);
    gone = !read && read.error().kind == PortError::Disconnected;
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_TRUE(gone);
}

TEST_F(Win32SerialPortUnderWine, AWriteTheStalledLineCutsShortFails) {
  if (!std::getenv("PELMORA_TEST_STALLED")) GTEST_SKIP() << "needs PELMORA_TEST_STALLED and a tracker the script has stopped";
  // 64 KB in the engine's 512-byte pieces: a pseudo-terminal takes about
  // 20 KB, and the piece it cannot take fails after its 1024 ms instead of
  // holding the thread for ever.
  const std::vector<std::uint8_t> piece(512, 0x55);
  int taken = 0;
  PortStatus written;
  while (taken < 128 && (written = port.write(number, piece))) ++taken;
  EXPECT_GT(taken, 0) << "the line took nothing at all";
  ASSERT_LT(taken, 128) << "the stalled line took 64 KB";
  EXPECT_EQ(written.error().kind, PortError::TimedOut);
}

}  // namespace
}  // namespace pelmora
