// The harness's own parts: statistics, options, the paced line and the
// window record. Nothing here asserts a duration; waits have generous limits
// and only order and content are checked.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/harness_options.h"
#include "bench/harness_paced_port.h"
#include "bench/harness_stats.h"
#include "bench/harness_window.h"

namespace pelmora::bench {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto kPatience = std::chrono::seconds(10);

TEST(HarnessStats, MedianAndNearestRankPercentile) {
  EXPECT_EQ(summarize({}).count, 0u);

  const Summary one = summarize({5});
  EXPECT_EQ(one.median, 5);
  EXPECT_EQ(one.p95, 5);

  const Summary four = summarize({4, 1, 3, 2});
  EXPECT_EQ(four.median, 2.5);
  EXPECT_EQ(four.p95, 4);  // rank ceil(3.8) = 4
  EXPECT_EQ(four.min, 1);
  EXPECT_EQ(four.max, 4);

  std::vector<double> twenty(20);
  std::iota(twenty.begin(), twenty.end(), 1.0);
  std::shuffle(twenty.begin(), twenty.end(), std::mt19937(3));
  const Summary s20 = summarize(twenty);
  EXPECT_EQ(s20.median, 10.5);
  EXPECT_EQ(s20.p95, 19);  // rank 19 of 20
  EXPECT_EQ(s20.max, 20);

  std::vector<double> twelve(12);
  std::iota(twelve.begin(), twelve.end(), 100.0);
  EXPECT_EQ(summarize(twelve).p95, 111);  // rank ceil(11.4) = 12: the largest
}

bool parse(std::vector<std::string> args, HarnessOptions& options) {
  args.insert(args.begin(), "pelmora_link_harness");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  bool exitNow = false;
  return parseHarnessOptions(static_cast<int>(argv.size()), argv.data(), options, exitNow) && !exitNow;
}

TEST(HarnessOptions, ParsesAndRefuses) {
  HarnessOptions o;
  ASSERT_TRUE(parse({"--reads", "3", "--phases", "900-1000", "--only", "write,idle", "--failing", "4", "--silent",
                     "0", "--baud", "19200"},
                    o));
  EXPECT_EQ(o.reads, 3);
  EXPECT_EQ(o.phaseLowMs, 900);
  EXPECT_EQ(o.phaseHighMs, 1000);
  EXPECT_FALSE(o.read);
  EXPECT_TRUE(o.write);
  EXPECT_FALSE(o.online);
  EXPECT_FALSE(o.scan);
  EXPECT_TRUE(o.idle);
  EXPECT_EQ(o.failingPorts, 4);
  EXPECT_EQ(o.silentPorts, 0);
  EXPECT_EQ(o.baud, 19200u);

  const std::vector<std::vector<std::string>> refused = {
      {"--phases", "1000-900"},  // empty window
      {"--phases", "5"},
      {"--phases", "0-1001"},
      {"--only", "read,nothing"},
      {"--failing", "0"},  // port 0 always fails: at least one failing port
      {"--failing", "60", "--silent", "40"},  // no port left for the tracker
      {"--reads"},
      {"--reads", "-1"},
      {"--frobnicate", "1"},
  };
  for (const auto& args : refused) {
    HarnessOptions refusedOptions;
    EXPECT_FALSE(parse(args, refusedOptions)) << args[0] << (args.size() > 1 ? " " + args[1] : "");
  }
}

// Records what reaches the line, piece by piece, from the transmitter's thread.
class RecordingPort final : public SerialPort {
 public:
  // Waits until `port` has received `count` bytes; false if they never come.
  bool waitForBytes(int port, std::size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, [&] { return received(port).size() >= count; });
  }
  Bytes bytesOf(int port) {
    const std::lock_guard lock(mutex_);
    return received(port);
  }
  std::size_t largestPiece() {
    const std::lock_guard lock(mutex_);
    return largestPiece_;
  }
  std::vector<std::string> calls() {
    const std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  Bytes received(int port) const {
    Bytes bytes;
    for (const auto& [p, piece] : pieces_)
      if (p == port) bytes.insert(bytes.end(), piece.begin(), piece.end());
    return bytes;
  }
  void call(std::string what) {
    const std::lock_guard lock(mutex_);
    calls_.push_back(std::move(what));
  }
  PortStatus doPrepare(int port) override {
    call("prepare " + std::to_string(port));
    return {};
  }
  OpenStatus doOpen(int port) override {
    call("open " + std::to_string(port));
    return {};
  }
  PortResult<std::size_t> doRead(int, std::span<std::uint8_t>) override { return std::size_t{0}; }
  PortStatus doWrite(int port, std::span<const std::uint8_t> bytes) override {
    {
      const std::lock_guard lock(mutex_);
      pieces_.emplace_back(port, Bytes(bytes.begin(), bytes.end()));
      largestPiece_ = std::max(largestPiece_, bytes.size());
    }
    changed_.notify_all();
    return {};
  }
  PortStatus doClose(int port) override {
    call("close " + std::to_string(port));
    return {};
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::pair<int, Bytes>> pieces_;
  std::size_t largestPiece_ = 0;
  std::vector<std::string> calls_;
};

Bytes counting(std::size_t n, std::uint8_t first) {
  Bytes bytes(n);
  std::iota(bytes.begin(), bytes.end(), first);
  return bytes;
}

TEST(PacedSerialPort, HandsEverythingOnInOrderAndDropsWhatAClosedPortQueued) {
  {
    // Fast enough that the test does not wait: 1 us per byte.
    RecordingPort line;
    PacedSerialPort paced(line, 10'000'000);
    const Bytes request = counting(3401, 0);
    const Bytes handshake = counting(17, 200);
    EXPECT_TRUE(paced.open(1));
    EXPECT_TRUE(paced.write(1, request));
    EXPECT_TRUE(paced.write(1, handshake));
    ASSERT_TRUE(line.waitForBytes(1, request.size() + handshake.size()));
    Bytes expected = request;
    expected.insert(expected.end(), handshake.begin(), handshake.end());
    EXPECT_EQ(line.bytesOf(1), expected);
    EXPECT_LE(line.largestPiece(), 16u);
    EXPECT_TRUE(paced.close(1));
    EXPECT_EQ(line.calls(), (std::vector<std::string>{"open 1", "close 1"}));
  }
  {
    // 30 baud: port 1's first piece would take 5.3 s. Port 1 closes at once;
    // the byte written to port 2 afterwards would come after all of port 1's,
    // so once it has arrived, anything of port 1's still missing was dropped.
    RecordingPort line;
    PacedSerialPort paced(line, 30);
    EXPECT_TRUE(paced.write(1, counting(100, 0)));
    EXPECT_TRUE(paced.close(1));
    EXPECT_TRUE(paced.write(2, Bytes{0x55}));
    ASSERT_TRUE(line.waitForBytes(2, 1));
    EXPECT_EQ(line.bytesOf(1), Bytes{});
    EXPECT_EQ(line.bytesOf(2), Bytes{0x55});
  }
}

TEST(HarnessWindow, FindsOnlyWhatCameAfterTheMark) {
  HarnessWindow window;
  window.trackerEvent(TrackerEvent::Log, 0, u"Tracker is on line");
  window.trackerEvent(TrackerEvent::Progress, 1500, {});
  window.trackerEvent(TrackerEvent::Buttons, BUTTONS_ONLINE, {});
  const std::size_t mark = window.mark();
  EXPECT_EQ(mark, 1u);  // only log lines and settingsReady are kept
  EXPECT_EQ(window.progressCount(), 1u);

  const TimePoint now = SteadyClock::now();
  EXPECT_FALSE(window.waitForLog(u"Tracker is on line", mark, now).has_value());
  EXPECT_FALSE(window.waitForSettingsReady(mark, now).has_value());

  std::thread engine([&window] {
    window.trackerEvent(TrackerEvent::Log, 0, u"Get Tracker's setting ok!");
    window.settingsReady();
    window.trackerEvent(TrackerEvent::Log, 0, u"Send command time out!");
    window.trackerEvent(TrackerEvent::Log, 0, u"Send command time out!");
  });
  const auto got = window.waitForSettingsReady(mark, SteadyClock::now() + kPatience);
  const auto timedOut = window.waitForLog(u"Send command time out!", mark, SteadyClock::now() + kPatience);
  engine.join();
  ASSERT_TRUE(got.has_value());
  ASSERT_TRUE(timedOut.has_value());
  EXPECT_LE(*got, *timedOut);
  EXPECT_EQ(window.countLog(u"Send command time out!", mark), 2u);
  EXPECT_EQ(window.countLog(u"Tracker is on line", 0), 1u);
  EXPECT_EQ(window.countLog(u"Tracker is on line", mark), 0u);
}

}  // namespace
}  // namespace pelmora::bench
