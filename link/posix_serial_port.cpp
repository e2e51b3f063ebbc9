#include "link/posix_serial_port.h"
#include "link/system_serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <utility>

namespace pelmora {
namespace {

struct BaudRule {
  std::uint32_t baud;
  speed_t speed;
};

constexpr std::array<BaudRule, 8> kBaudRates = {{
    {1200, B1200},
    {2400, B2400},
    {4800, B4800},
    {9600, B9600},
    {19200, B19200},
    {38400, B38400},
    {57600, B57600},
    {115200, B115200},
}};

OpenFailure openFailureFor(int error) {
  switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return OpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenFailure::AccessDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::Busy;
    case ENOTTY:
      return OpenFailure::NotATerminal;
    default:
      return OpenFailure::Other;
  }
}

// Raises (TIOCMBIS) or drops (TIOCMBIC) modem lines. A device without modem
// lines, such as a pseudo-terminal, answers ENOTTY or EINVAL: that is fine.
bool setModemLines(int fd, unsigned long request, int lines) {
  if (::ioctl(fd, request, &lines) == 0) return true;
  return errno == ENOTTY || errno == EINVAL;
}

// Raw line in the slot's settings; false for settings this port cannot give.
bool makeLineSettings(termios& settings, std::uint32_t baud, std::uint8_t byteSize, std::uint8_t parity,
                      std::uint8_t stopBits, std::uint8_t flowControl) {
  const auto rule = std::find_if(kBaudRates.begin(), kBaudRates.end(), [baud](const BaudRule& r) { return r.baud == baud; });
  if (rule == kBaudRates.end() || byteSize != 8 || parity != 0 || stopBits != 0 || flowControl != 0) return false;
  ::cfmakeraw(&settings);
  ::cfsetispeed(&settings, rule->speed);
  ::cfsetospeed(&settings, rule->speed);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  return true;
}

bool isHangUp(short revents) { return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0; }

}  // namespace

PosixSerialPort::PosixSerialPort(PortMapConfig config) : config_(std::move(config)) {
  for (int port = kFirstPortNumber; port <= kLastPortNumber; ++port) slots_[port].reset(port);
}

PosixSerialPort::~PosixSerialPort() {
  for (Slot& s : slots_) {
    const std::lock_guard lock(s.mutex);
    if (s.open) closeSlot(s);
  }
}

void PosixSerialPort::setPortMap(PortMapConfig config) {
  const std::lock_guard lock(configMutex_);
  config_ = std::move(config);
}

PortMapConfig PosixSerialPort::portMap() const {
  const std::lock_guard lock(configMutex_);
  return config_;
}

std::vector<PortMapping> PosixSerialPort::doCurrentMap() const {
  const std::lock_guard lock(configMutex_);
  lastMap_ = resolvePortMap(config_, lastMap_);
  return lastMap_;
}

std::optional<std::string> PosixSerialPort::devicePathFor(int port) const {
  for (PortMapping& mapping : currentMap())
    if (mapping.port == port) return std::move(mapping.devicePath);
  return std::nullopt;
}

OpenStatus PosixSerialPort::doOpen(int port) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  std::optional<std::string> path;
  const auto fail = [&s, &path](OpenFailure why, int fd) {
    if (fd >= 0) ::close(fd);
    s.failedDevice = path.value_or("");
    return staticError(why);
  };
  if (s.open) return fail(OpenFailure::Busy, -1);

  path = devicePathFor(port);
  if (!path) return fail(OpenFailure::NotMapped, -1);

  const int fd = ::open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(openFailureFor(errno), -1);
  // Exclusive use against every program that also takes the lock; TIOCEXCL
  // below keeps out the others, except root.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(openFailureFor(errno), fd);

  termios saved{};
  if (::tcgetattr(fd, &saved) != 0) return fail(openFailureFor(errno), fd);
  termios line = saved;
  if (!makeLineSettings(line, s.baudRate, s.byteSize, s.parity, s.stopBits, s.flowControl))
    return fail(OpenFailure::Other, fd);
  if (::tcsetattr(fd, TCSANOW, &line) != 0) return fail(openFailureFor(errno), fd);
  ::tcflush(fd, TCIOFLUSH);
  if (!setModemLines(fd, TIOCMBIS, TIOCM_DTR | TIOCM_RTS)) {
    const int error = errno;
    ::tcsetattr(fd, TCSANOW, &saved);
    return fail(openFailureFor(error), fd);
  }
  ::ioctl(fd, TIOCEXCL);

  s.saved = saved;
  s.handle = fd;
  s.open = 1;
  s.failedDevice.clear();
  return {};
}

PortResult<std::size_t> PosixSerialPort::doRead(int port, std::span<std::uint8_t> buffer) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (!s.open) return std::size_t{0};

  // read() answers 0 both for "nothing queued" and after a hang-up, so the
  // hang-up is told by FIONREAD failing or by poll.
  const auto gone = staticError(PortError::Disconnected);
  int queued = 0;
  if (::ioctl(s.handle, FIONREAD, &queued) != 0) return gone;
  if (queued <= 0) {
    pollfd p{s.handle, POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && isHangUp(p.revents)) return gone;
    return std::size_t{0};
  }

  const std::size_t wanted = std::min({static_cast<std::size_t>(queued), buffer.size(), kSerialBufferSize});
  if (wanted == 0) return std::size_t{0};
  const ssize_t got = ::read(s.handle, buffer.data(), wanted);
  if (got > 0) return static_cast<std::size_t>(got);
  if (got < 0 && (errno == EIO || errno == ENXIO || errno == ENODEV)) return gone;
  return std::size_t{0};
}

bool PosixSerialPort::doWaitReadable(int port, std::uint32_t ms, Wakeup* wake) {
  int fd = -1;
  {
    Slot& s = slots_[port];
    const std::lock_guard lock(s.mutex);
    if (!s.open) return false;
    fd = s.handle;
  }
  // Without the lock, so that a write or close is not held up: a close
  // meanwhile only ends the wait early.
  std::array<pollfd, 2> waitOn{pollfd{fd, POLLIN, 0}, pollfd{wake ? wake->pollDescriptor() : -1, POLLIN, 0}};
  ::poll(waitOn.data(), waitOn[1].fd >= 0 ? 2 : 1, static_cast<int>(ms));
  return true;
}

PortStatus PosixSerialPort::doWrite(int port, std::span<const std::uint8_t> bytes) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (!s.open) return staticError(PortError::NotOpen);

  using Clock = std::chrono::steady_clock;
  const auto perByte = std::chrono::milliseconds(19200 / std::max<std::uint32_t>(s.baudRate, 1));
  const Clock::time_point deadline = Clock::now() + perByte * static_cast<long>(bytes.size());

  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(s.handle, bytes.data() + done, bytes.size() - done);
    if (written > 0) {
      done += static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return staticError(PortError::DeviceError);

    const auto timedOut = staticError(PortError::TimedOut);  // cut short by the write timeout: not written whole
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return timedOut;
    pollfd p{s.handle, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno != EINTR) return staticError(PortError::DeviceError);
    if (ready == 0) return timedOut;
    if (ready > 0 && isHangUp(p.revents)) return staticError(PortError::Disconnected);
  }
  return {};
}

PortStatus PosixSerialPort::doClose(int port) {
  Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  if (s.open) closeSlot(s);
  return {};
}

void PosixSerialPort::closeSlot(Slot& s) {
  s.open = 0;
  setModemLines(s.handle, TIOCMBIC, TIOCM_DTR);
  ::tcflush(s.handle, TCIOFLUSH);
  ::tcsetattr(s.handle, TCSANOW, &s.saved);
  ::ioctl(s.handle, TIOCNXCL);
  ::flock(s.handle, LOCK_UN);
  ::close(s.handle);
  s.handle = -1;
}

std::string PosixSerialPort::doLastOpenFailureDevice(int port) const {
  const Slot& s = slots_[port];
  const std::lock_guard lock(s.mutex);
  return s.failedDevice;
}

}  // namespace pelmora

namespace pelmora {

std::unique_ptr<SerialPort> makeSystemSerialPort(const PortMapConfig& map) {
  return std::make_unique<PosixSerialPort>(map);
}

}  // namespace pelmora
