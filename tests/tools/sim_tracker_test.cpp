#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link/packet.h"
#include "tools/simtracker/demo_images.h"
#include "tools/simtracker/sim_tracker.h"

namespace pelmora::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;
using ::testing::ElementsAre;

constexpr auto kHangGuard = 10s;  // only so that a broken tracker cannot hang the test

const Bytes kHandshakeRequest = {0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF,
                                 0xFF, 0xFF, 0x88, 0x03, 0x71, 0x23, 0x0D, 0x0A};
const Bytes kReadRequest = {0x40, 0x40, 0x00, 0x11, 0x11, 0x11, 0x11, 0x1F, 0xFF,
                            0xFF, 0xFF, 0x88, 0x01, 0x52, 0x31, 0x0D, 0x0A};

Bytes writeRequest(const Bytes& image) {
  CommandRequest request = makeRequest(WriteSettings);
  request.settingsImage = image;
  FrameBuffer frame{};
  std::size_t length = 0;
  EXPECT_EQ(buildRequest(request, frame, length, nullptr), kBuildOk);
  return Bytes(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
}

// The expected reply: "$$", length, id 1111111, command, data, CRC-16 high byte first, CR LF.
Bytes expectedReply(std::uint16_t command, const Bytes& data) {
  const std::size_t length = data.size() + 17;
  Bytes frame = {0x24, 0x24, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length),
                 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF, static_cast<std::uint8_t>(command >> 8),
                 static_cast<std::uint8_t>(command)};
  frame.insert(frame.end(), data.begin(), data.end());
  const std::uint16_t crc = crc16(frame);
  frame.insert(frame.end(), {static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc), 0x0D, 0x0A});
  return frame;
}

// The tool's end of the line, opened directly.
class ToolEnd {
 public:
  explicit ToolEnd(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~ToolEnd() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool isOpen() const { return fd_ >= 0; }

  void send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else {
        pollfd p{fd_, POLLOUT, 0};
        ASSERT_GT(::poll(&p, 1, 1000), 0);
      }
    }
  }
  // Exactly `count` bytes (fewer only if the line hangs up or the guard passes).
  Bytes receive(std::size_t count) {
    Bytes got;
    const auto giveUp = std::chrono::steady_clock::now() + kHangGuard;
    while (got.size() < count && std::chrono::steady_clock::now() < giveUp) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      std::uint8_t buffer[4096];
      const std::size_t want = std::min(sizeof buffer, count - got.size());
      const ssize_t n = ::read(fd_, buffer, want);
      if (n > 0) got.insert(got.end(), buffer, buffer + n);
      hungUp_ = hungUp_ || (n <= 0 && (p.revents & (POLLHUP | POLLERR)));
      if (hungUp_) break;
    }
    return got;
  }
  // Reads whatever comes until the line hangs up.
  Bytes receiveUntilHangUp() {
    receive(SIZE_MAX).swap(lastBeforeHangUp_);
    return lastBeforeHangUp_;
  }
  bool hungUp() const { return hungUp_; }

 private:
  int fd_;
  bool hungUp_ = false;
  Bytes lastBeforeHangUp_;
};

// Tests of several build folders may run at once.
std::string uniqueTempPath(const std::string& name) {
  return ::testing::TempDir() + std::to_string(::getpid()) + "-" + name;
}

SimOptions unpaced(Bytes image = {}) {
  SimOptions options;
  options.image = std::move(image);
  options.behaviour.baud = 0;
  return options;
}

TrackerReply parsed(const Bytes& frame) {
  TrackerReply reply;
  EXPECT_EQ(parseReply(frame, reply), kParseOk);
  return reply;
}

TEST(SimTracker, AnswersTheWorkedRequests) {
  SimTracker tracker(unpaced());
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());
  ASSERT_TRUE(tool.isOpen());

  tool.send(kHandshakeRequest);
  const Bytes handshake = tool.receive(18);
  EXPECT_EQ(handshake, expectedReply(0x8803, {0x01}));
  EXPECT_THAT(Bytes(handshake.begin(), handshake.begin() + 14),
              ElementsAre(0x24, 0x24, 0x00, 0x12, 0x11, 0x11, 0x11, 0x1F, 0xFF, 0xFF, 0xFF, 0x88, 0x03, 0x01));
  EXPECT_EQ(parsed(handshake).status, 1);

  tool.send(kReadRequest);
  const Bytes settings = tool.receive(3197);
  ASSERT_EQ(settings.size(), 3197u);
  EXPECT_THAT(Bytes(settings.begin(), settings.begin() + 4), ElementsAre(0x24, 0x24, 0x0C, 0x7D));
  EXPECT_EQ(settings, expectedReply(0x8801, basicDemoImage()));

  // A written image is stored exactly and is what the next read returns.
  Bytes written = basicDemoImage();
  written[0] = '9';
  written[3179] = 0x77;
  tool.send(writeRequest(written));
  EXPECT_EQ(tool.receive(18), expectedReply(0x8802, {0x01}));
  EXPECT_EQ(tracker.writtenImage(), written);
  tool.send(kReadRequest);
  EXPECT_EQ(tool.receive(3197), expectedReply(0x8801, written));

  const std::string saved = uniqueTempPath("pelmora-sim-written.bin");
  ASSERT_TRUE(tracker.saveWrittenImage(saved));
  Bytes loaded;
  ASSERT_TRUE(loadImageFile(saved, loaded));
  EXPECT_EQ(loaded, written);
  std::filesystem::remove(saved);

  const SimCounters seen = tracker.counters();
  EXPECT_EQ(seen.handshakes, 1u);
  EXPECT_EQ(seen.readSettings, 2u);
  EXPECT_EQ(seen.writeSettings, 1u);
  EXPECT_EQ(seen.bytesReceived, 17u * 3 + 3197u);
}

TEST(SimTracker, ExtendedTrackerKeepsItsHeaderOnWrite) {
  SimTracker tracker(unpaced(extendedDemoImage()));
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());
  tool.send(kReadRequest);
  const Bytes settings = tool.receive(3401);
  EXPECT_EQ(parsed(settings).dataLength, 3384u);
  EXPECT_THAT(Bytes(settings.begin() + 13, settings.begin() + 17), ElementsAre(0x01, 0x00, 0x86, 0xF6));

  // A written Extended block carries zeros in its 68-byte header.
  Bytes block = extendedDemoImage();
  std::fill(block.begin(), block.begin() + 68, 0);
  block[100] = 0x5A;
  tool.send(writeRequest(block));
  EXPECT_EQ(tool.receive(18), expectedReply(0x8802, {0x01}));
  EXPECT_EQ(tracker.writtenImage(), block);
  Bytes expected = extendedDemoImage();
  expected[100] = 0x5A;
  EXPECT_EQ(tracker.image(), expected);
}

TEST(SimTracker, SkipsWhatIsNotAGoodRequest) {
  SimTracker tracker(unpaced());
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());
  Bytes badChecksum = kHandshakeRequest;
  badChecksum[14] ^= 0x01;
  Bytes unknown = writeRequest({});
  unknown[12] = 0x04;  // 0x8804, checksum made right below
  const std::uint16_t crc = crc16(std::span(unknown).first(13));
  unknown[13] = static_cast<std::uint8_t>(crc >> 8);
  unknown[14] = static_cast<std::uint8_t>(crc);
  Bytes stream = {'x', '$', '$', '@'};
  for (const Bytes* part : std::initializer_list<const Bytes*>{&badChecksum, &unknown, &kHandshakeRequest}) stream.insert(stream.end(), part->begin(), part->end());
  tool.send(stream);

  // Replies come in order, so the first one shows that nothing before the handshake was answered.
  EXPECT_EQ(tool.receive(18), expectedReply(0x8803, {0x01}));
  const SimCounters seen = tracker.counters();
  EXPECT_EQ(seen.badChecksums, 1u);
  EXPECT_EQ(seen.unknownCommands, 1u);
  EXPECT_EQ(seen.handshakes, 1u);
  EXPECT_EQ(seen.bytesReceived, stream.size());
}

TEST(SimTracker, ReplyShapes) {
  SimTracker tracker(unpaced());
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());
  const Bytes handshakeReply = expectedReply(0x8803, {0x01});

  SimBehaviour echo;
  echo.baud = 0;
  echo.echo = true;
  tracker.setBehaviour(echo);
  tool.send(kHandshakeRequest);
  Bytes echoed = kHandshakeRequest;
  echoed.insert(echoed.end(), handshakeReply.begin(), handshakeReply.end());
  EXPECT_EQ(tool.receive(35), echoed);

  SimBehaviour noise;
  noise.baud = 0;
  noise.noiseBytes = 5000;
  tracker.setBehaviour(noise);
  tool.send(kHandshakeRequest);
  const Bytes noisy = tool.receive(5018);
  ASSERT_EQ(noisy.size(), 5018u);
  EXPECT_EQ(Bytes(noisy.begin() + 5000, noisy.end()), handshakeReply);
  EXPECT_EQ(std::count(noisy.begin(), noisy.begin() + 5000, '$'), 0);
  EXPECT_EQ(std::count(noisy.begin(), noisy.begin() + 5000, '@'), 0);

  SimBehaviour split;
  split.baud = 0;
  split.writeSize = 5;
  split.writeGapMs = 2;
  tracker.setBehaviour(split);
  // The tool can see the last bytes before the tracker has counted their write.
  ASSERT_TRUE(tracker.waitFor([](const SimCounters& c) { return c.repliesSent >= 2; }, kHangGuard));
  std::uint64_t writesBefore = tracker.counters().writeCalls;
  tool.send(kHandshakeRequest);
  EXPECT_EQ(tool.receive(18), handshakeReply);
  ASSERT_TRUE(tracker.waitFor([](const SimCounters& c) { return c.repliesSent >= 3; }, kHangGuard));
  EXPECT_EQ(tracker.counters().writeCalls - writesBefore, 4u);  // 5 + 5 + 5 + 3

  split.writeSize = 1;
  split.writeGapMs = 0;
  tracker.setBehaviour(split);
  writesBefore = tracker.counters().writeCalls;
  tool.send(kHandshakeRequest);
  EXPECT_EQ(tool.receive(18), handshakeReply);
  ASSERT_TRUE(tracker.waitFor([](const SimCounters& c) { return c.repliesSent >= 4; }, kHangGuard));
  EXPECT_EQ(tracker.counters().writeCalls - writesBefore, 18u);

  SimBehaviour badChecksum;
  badChecksum.baud = 0;
  badChecksum.badChecksum = true;
  tracker.setBehaviour(badChecksum);
  tool.send(kHandshakeRequest);
  const Bytes bad = tool.receive(18);
  EXPECT_EQ(Bytes(bad.begin(), bad.begin() + 14), Bytes(handshakeReply.begin(), handshakeReply.begin() + 14));
  EXPECT_NE(Bytes(bad.begin() + 14, bad.begin() + 16), Bytes(handshakeReply.begin() + 14, handshakeReply.begin() + 16));
  EXPECT_THAT(Bytes(bad.begin() + 16, bad.end()), ElementsAre(0x0D, 0x0A));
  EXPECT_EQ(parsed(bad).status, 1);  // the tool does not examine it
}

TEST(SimTracker, SettingsAndWriteFaults) {
  SimTracker tracker(unpaced(extendedDemoImage()));
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());
  const Bytes image = extendedDemoImage();

  SimBehaviour refuse;
  refuse.baud = 0;
  refuse.refuseWrites = true;
  tracker.setBehaviour(refuse);
  tool.send(writeRequest(Bytes(3384, 0x11)));
  const Bytes refused = tool.receive(18);
  EXPECT_EQ(refused, expectedReply(0x8802, {0x00}));
  EXPECT_EQ(parsed(refused).status, 2);
  EXPECT_TRUE(tracker.writtenImage().empty());
  EXPECT_EQ(tracker.image(), image);

  SimBehaviour unknownLayout;
  unknownLayout.baud = 0;
  unknownLayout.unknownLayout = true;
  tracker.setBehaviour(unknownLayout);
  tool.send(kReadRequest);
  Bytes expected = image;
  expected[0] = 0x05;
  EXPECT_EQ(tool.receive(3401), expectedReply(0x8801, expected));

  SimBehaviour shortImage;
  shortImage.baud = 0;
  shortImage.shortImage = 100;
  tracker.setBehaviour(shortImage);
  tool.send(kReadRequest);
  EXPECT_EQ(tool.receive(117), expectedReply(0x8801, Bytes(image.begin(), image.begin() + 100)));
  shortImage.shortImage = 0;
  tracker.setBehaviour(shortImage);
  tool.send(kReadRequest);
  EXPECT_EQ(tool.receive(17), expectedReply(0x8801, {}));
}

TEST(SimTracker, SilenceAndDelay) {
  SimTracker tracker(unpaced());
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());

  SimBehaviour silent;
  silent.baud = 0;
  silent.silent = true;
  tracker.setBehaviour(silent);
  tool.send(kReadRequest);
  ASSERT_TRUE(tracker.waitFor([](const SimCounters& c) { return c.repliesSuppressed == 1; }, kHangGuard));

  // Replies come in order: if the silenced read had been answered, its 3197 bytes would come first.
  SimBehaviour delayed;
  delayed.baud = 0;
  delayed.replyDelayMs = 150;
  tracker.setBehaviour(delayed);
  const auto sent = std::chrono::steady_clock::now();
  tool.send(kHandshakeRequest);
  EXPECT_EQ(tool.receive(18), expectedReply(0x8803, {0x01}));
  // A lower bound only: a loaded machine can make it later, never sooner.
  EXPECT_GE(std::chrono::steady_clock::now() - sent, 150ms);
  EXPECT_EQ(tracker.counters().readSettings, 1u);
}

TEST(SimTracker, PacedRepliesAnswerQueuedRequestsInOrder) {
  SimOptions options = unpaced();
  options.behaviour.baud = 96000;  // 9600 bytes a second
  SimTracker tracker(std::move(options));
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  ToolEnd tool(tracker.devicePath());

  const auto sent = std::chrono::steady_clock::now();
  tool.send(kReadRequest);
  tool.send(kHandshakeRequest);
  tool.send(kHandshakeRequest);
  const Bytes settings = tool.receive(3197);
  // A lower bound only: 3197 bytes at 9600 bytes a second take at least 333 ms.
  EXPECT_GE(std::chrono::steady_clock::now() - sent, 300ms);
  EXPECT_EQ(settings, expectedReply(0x8801, basicDemoImage()));
  EXPECT_EQ(tool.receive(18), expectedReply(0x8803, {0x01}));
  EXPECT_EQ(tool.receive(18), expectedReply(0x8803, {0x01}));
}

TEST(SimTracker, HangUpAndComeBack) {
  const std::string link = uniqueTempPath("pelmora-sim-link");
  std::filesystem::remove(link);
  SimOptions options = unpaced();
  options.linkPath = link;
  SimTracker tracker(std::move(options));
  ASSERT_TRUE(tracker.start()) << tracker.errorText();
  const std::string first = tracker.devicePath();
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), first);

  ToolEnd tool(link);
  ASSERT_TRUE(tool.isOpen());
  tool.send(kHandshakeRequest);
  EXPECT_EQ(tool.receive(18), expectedReply(0x8803, {0x01}));

  tracker.hangUp();
  EXPECT_TRUE(tool.receiveUntilHangUp().empty());
  EXPECT_TRUE(tool.hungUp());
  EXPECT_EQ(tracker.devicePath(), "");
  EXPECT_EQ(tracker.counters().hangUps, 1u);

  ASSERT_TRUE(tracker.comeBack()) << tracker.errorText();
  EXPECT_FALSE(tracker.devicePath().empty());
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), tracker.devicePath());
  ToolEnd again(link);
  ASSERT_TRUE(again.isOpen());
  again.send(kHandshakeRequest);
  EXPECT_EQ(again.receive(18), expectedReply(0x8803, {0x01}));

  // Cut off 100 bytes into the next settings reply.
  tracker.hangUpDuringNextSettingsReply(100);
  again.send(kHandshakeRequest);
  again.send(kReadRequest);
  EXPECT_EQ(again.receive(18), expectedReply(0x8803, {0x01}));
  const Bytes cut = again.receiveUntilHangUp();
  EXPECT_TRUE(again.hungUp());
  const Bytes whole = expectedReply(0x8801, basicDemoImage());
  EXPECT_EQ(cut, Bytes(whole.begin(), whole.begin() + 100));
  EXPECT_TRUE(tracker.waitFor([](const SimCounters& c) { return c.hangUps == 2; }, kHangGuard));

  tracker.stop();
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(SimTracker, StopsCleanlyInAnyState) {
  SimOptions options = unpaced();
  options.behaviour.baud = 300;  // a settings reply would take minutes
  {
    SimTracker tracker(options);
    ASSERT_TRUE(tracker.start()) << tracker.errorText();
    ToolEnd tool(tracker.devicePath());
    tool.send(kReadRequest);
    ASSERT_TRUE(tool.receive(1).size() == 1);
  }  // destroyed in the middle of the reply
  SimTracker tracker(options);
  EXPECT_FALSE(tracker.comeBack());  // not running
  tracker.hangUp();
  ASSERT_TRUE(tracker.start());
  tracker.hangUp();
  tracker.stop();
  tracker.stop();
  ASSERT_TRUE(tracker.start());
  EXPECT_FALSE(tracker.devicePath().empty());
}

}  // namespace
}  // namespace pelmora::sim
