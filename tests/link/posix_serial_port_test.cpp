#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <spawn.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/open_failure_detail.h"
#include "link/port_discovery_sysfs.h"
#include "link/posix_serial_port.h"
#include "sim/pseudo_terminal.h"

namespace pelmora {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;
constexpr auto kHangGuard = std::chrono::seconds(10);  // only so that a fault cannot hang the test

// A pseudo-terminal whose slave the port opens; the test plays the device on the master.
class PtyPair : public sim::PseudoTerminal {
 public:
  PtyPair() {
    std::string error;
    EXPECT_TRUE(create(error)) << error;
  }
  // True once `count` bytes the master sent wait on the slave side.
  bool slaveHasQueued(int count) const {
    for (const auto giveUp = Clock::now() + kHangGuard; unreadBySlave() < count && Clock::now() < giveUp;)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return unreadBySlave() >= count;
  }
  void send(const Bytes& bytes) {
    ASSERT_EQ(::write(master(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // What the master received: `count` bytes, or with no count all until the line stays quiet.
  Bytes receive(std::size_t count = SIZE_MAX) {
    Bytes got;
    std::uint8_t buffer[4096];
    for (const auto giveUp = Clock::now() + kHangGuard; got.size() < count && Clock::now() < giveUp;) {
      pollfd p{master(), POLLIN, 0};
      const ssize_t n = ::poll(&p, 1, 200) > 0 ? ::read(master(), buffer, sizeof buffer) : 0;
      if (n <= 0 && count == SIZE_MAX) break;
      if (n > 0) got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
};

// Never near the real devices of this machine.
PortMapConfig explicitOnly(std::vector<std::pair<int, std::string>> entries) { return {std::move(entries), false}; }

// Reads until `count` bytes came.
Bytes readAll(SerialPort& port, int number, std::size_t count, std::size_t bufferSize) {
  Bytes got;
  std::vector<std::uint8_t> buffer(bufferSize);
  for (const auto giveUp = Clock::now() + kHangGuard; got.size() < count && Clock::now() < giveUp;) {
    port.waitReadable(number, 100);
    const PortResult<std::size_t> r = port.read(number, buffer);
    EXPECT_TRUE(r) << r.error().message;
    got.insert(got.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(r ? *r : 0));
  }
  return got;
}

Bytes pattern(std::size_t n) {
  Bytes bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  return bytes;
}

TEST(PosixSerialPort, OpenReadWriteCloseOnAPseudoTerminal) {
  PtyPair pty;
  ASSERT_FALSE(pty.slavePath().empty());
  PosixSerialPort port(explicitOnly({{3, pty.slavePath()}}));

  // Bytes sent before the open are purged by it, once they are queued on the slave side.
  pty.send({0xEE, 0xEE});
  ASSERT_TRUE(pty.slaveHasQueued(2));
  ASSERT_TRUE(port.open(3));

  // A raised wakeup ends a wait on a port with nothing to read (ignored, the
  // wait lasts an hour and the test fails on its timeout).
  Wakeup wake;
  wake.raise();
  EXPECT_TRUE(port.waitReadable(3, 3'600'000, &wake));

  // Data sent now is read back, never more than the buffer takes; the rest stays queued.
  const Bytes reply = {0x24, 0x24, 0x00, 0x12, 0x0D, 0x0A};
  pty.send(reply);
  EXPECT_EQ(readAll(port, 3, 4, 4), Bytes(reply.begin(), reply.begin() + 4));
  EXPECT_EQ(readAll(port, 3, 2, 4), Bytes(reply.begin() + 4, reply.end()));

  EXPECT_TRUE(port.close(3));
  std::array<std::uint8_t, 64> buffer{};
  const PortResult<std::size_t> read = port.read(3, buffer);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, 0u);
  const PortStatus written = port.write(3, reply);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().kind, PortError::NotOpen);
  EXPECT_TRUE(port.close(3));  // closing a closed port is harmless
}

TEST(PosixSerialPort, OpenFailures) {
  PtyPair pty;
  PosixSerialPort port(explicitOnly({{1, pty.slavePath()}, {3, "/nonexistent/pelmora/ttyUSB0"}, {4, "/dev/null"}}));
  ASSERT_TRUE(port.open(1));
  // The same number again is busy.
  const std::pair<int, OpenFailure> refused[] = {{1, OpenFailure::Busy},
                                                 {3, OpenFailure::NoSuchDevice},
                                                 {4, OpenFailure::NotATerminal},
                                                 {5, OpenFailure::NotMapped},
                                                 {0, OpenFailure::OutOfRange},
                                                 {100, OpenFailure::OutOfRange}};
  for (const auto& [number, why] : refused) {
    const OpenStatus opened = port.open(number);
    ASSERT_FALSE(opened) << number;
    EXPECT_EQ(opened.error().kind, why) << number;
  }
  // Another instance (as another program would) is refused too.
  PosixSerialPort other(explicitOnly({{7, pty.slavePath()}}));
  const OpenStatus taken = other.open(7);
  ASSERT_FALSE(taken);
  EXPECT_EQ(taken.error().kind, OpenFailure::Busy);
  EXPECT_EQ(other.lastOpenFailureDevice(7), pty.slavePath());
  EXPECT_EQ(port.lastOpenFailureDevice(5), "");

  // Another process holding the device is named.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, pty.slavePath().c_str(), O_RDONLY | O_NOCTTY, 0);
  pid_t sleeper = 0;
  char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("30"), nullptr};
  ASSERT_EQ(posix_spawnp(&sleeper, "sleep", &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  SysfsPortDiscovery discovery;
  std::vector<PortHolder> holders;
  for (const auto giveUp = Clock::now() + kHangGuard; holders.empty() && Clock::now() < giveUp;)
    holders = explainOpenFailure(OpenFailure::Busy, pty.slavePath(), discovery).holders;
  ::kill(sleeper, SIGTERM);
  ::waitpid(sleeper, nullptr, 0);
  EXPECT_EQ(holders, (std::vector<PortHolder>{{sleeper, "sleep"}}));

  // An entry added at run time is used by the next open.
  EXPECT_TRUE(port.close(1));
  port.setPortMap(explicitOnly({{5, pty.slavePath()}}));
  EXPECT_TRUE(port.open(5));
  EXPECT_EQ(port.lastOpenFailureDevice(5), "");
}

TEST(PosixSerialPort, WriteTimeout) {
  PtyPair pty;
  PosixSerialPort port(explicitOnly({{1, pty.slavePath()}}));
  ASSERT_TRUE(port.open(1));

  // The device takes nothing more: its output is suspended, as an XOFF does.
  const int slave = ::open(pty.slavePath().c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_EQ(::tcflow(slave, TCOOFF), 0);
  // A write cut short by its timeout (2 ms per byte) is not written whole: a
  // failure, and none of its bytes reach the device once it takes bytes again.
  const PortStatus written = port.write(1, Bytes(4, 0xAA));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().kind, PortError::TimedOut);
  ::tcflow(slave, TCOON);
  ::close(slave);
  EXPECT_EQ(pty.receive(), Bytes{});
}

// Close, read and write of one port exclude each other (run under ThreadSanitizer).
TEST(PosixSerialPort, CallsFromSeveralThreads) {
  PtyPair pty;
  PosixSerialPort port(explicitOnly({{1, pty.slavePath()}}));
  ASSERT_TRUE(port.open(1));
  std::atomic<bool> done{false};
  std::jthread reader([&] {
    std::array<std::uint8_t, 4096> buffer{};
    for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(1))) (void)port.read(1, buffer);
  });
  std::jthread reopener([&] {
    for (int i = 0; i < 50; ++i) {
      port.close(1);
      port.prepare(1);
      port.open(1);
    }
  });
  std::jthread mapper([&] {
    for (int i = 0; i < 50; ++i) port.setPortMap(explicitOnly({{1, pty.slavePath()}}));
  });
  for (int i = 0; i < 50; ++i) port.write(1, pattern(17));
  reopener.join();
  mapper.join();
  done = true;
  reader.join();
  // Whatever interleaving happened, the port ends usable: open, and a write arrives whole.
  pty.receive();
  port.close(1);
  ASSERT_TRUE(port.open(1));
  EXPECT_TRUE(port.write(1, pattern(17)));
  EXPECT_EQ(pty.receive(17), pattern(17));
}

}  // namespace
}  // namespace pelmora
