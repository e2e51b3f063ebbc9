#include "sim/sim_tracker.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <limits>
#include <span>
#include <utility>

#include "link/packet.h"
#include "sim/demo_images.h"

namespace pelmora::sim {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::uint16_t kReadCommand = 0x8801;
constexpr std::uint16_t kWriteCommand = 0x8802;
constexpr std::uint16_t kHandshakeCommand = 0x8803;
constexpr std::size_t kMaxImageSize = kMaxFrameSize - kFrameOverhead;
constexpr std::size_t kExtendedHeaderSize = 68;
constexpr std::array<std::uint8_t, 4> kExtendedMagic = {0x01, 0x00, 0x86, 0xF6};
constexpr std::array<std::uint8_t, 4> kUnknownMagic = {0x05, 0x00, 0x86, 0xF6};
constexpr std::size_t kSmallestPacedWrite = 16;  // fewer wake-ups at low speeds
// Before a hang-up in the middle of a reply: the line must read empty this
// long (bytes reach the slave's queue a little after the write), but the
// wait ends after the longest wait even if the tool reads nothing.
constexpr auto kReadSettle = std::chrono::milliseconds(50);
constexpr auto kLongestHangUpWait = std::chrono::seconds(3);
constexpr auto kHangUpPoll = std::chrono::milliseconds(5);

// A "$$" frame with the given id bytes (from the request), command and data.
std::vector<std::uint8_t> replyFrame(std::span<const std::uint8_t> id, std::uint16_t command,
                                     std::span<const std::uint8_t> data, bool badChecksum) {
  const std::size_t length = data.size() + kFrameOverhead;
  std::vector<std::uint8_t> frame;
  frame.reserve(length);
  frame.assign({'$', '$', static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF)});
  frame.insert(frame.end(), id.begin(), id.end());
  frame.push_back(static_cast<std::uint8_t>(command >> 8));
  frame.push_back(static_cast<std::uint8_t>(command & 0xFF));
  frame.insert(frame.end(), data.begin(), data.end());
  std::uint16_t crc = crc16(frame);
  if (badChecksum) crc = static_cast<std::uint16_t>(~crc);
  frame.insert(frame.end(), {static_cast<std::uint8_t>(crc >> 8), static_cast<std::uint8_t>(crc & 0xFF), '\r', '\n'});
  return frame;
}

// Deterministic line noise that can never start a frame.
std::uint8_t noiseByte(std::size_t i) {
  const auto b = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
  return (b == '$' || b == '@') ? 0x00 : b;
}

const char* requestName(std::uint16_t command) {
  switch (command) {
    case kHandshakeCommand: return "handshake";
    case kReadCommand: return "read settings";
    case kWriteCommand: return "write settings";
    default: return "unknown command";
  }
}

int msUntil(SteadyClock::time_point when, SteadyClock::time_point now) {
  if (when <= now) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
  return static_cast<int>(std::min<long long>(ms, std::numeric_limits<int>::max()));
}

}  // namespace

SimTracker::SimTracker(SimOptions options) : options_(std::move(options)) {
  behaviour_ = options_.behaviour;
  image_ = options_.image;
  if (image_.empty() || image_.size() > kMaxImageSize) image_ = basicDemoImage();
}

SimTracker::~SimTracker() { stop(); }

bool SimTracker::start() {
  {
    const std::lock_guard lock(mutex_);
    if (running_) return true;
  }
  std::array<int, 2> pipeEnds{};
  if (::pipe2(pipeEnds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
    const std::lock_guard lock(mutex_);
    error_ = "pipe: cannot make the wake-up pipe";
    return false;
  }
  wakeRead_ = pipeEnds[0];
  wakeWrite_ = pipeEnds[1];
  std::string error;
  if (!openLine(error)) {
    ::close(wakeRead_);
    ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
    const std::lock_guard lock(mutex_);
    error_ = error;
    return false;
  }
  {
    const std::lock_guard lock(mutex_);
    running_ = true;
    stopRequested_ = false;
  }
  thread_ = std::thread(&SimTracker::run, this);
  return true;
}

void SimTracker::stop() {
  {
    const std::lock_guard lock(mutex_);
    if (!running_ || stopRequested_) return;  // one caller joins
    stopRequested_ = true;
  }
  wake();
  thread_.join();
  closeLine();
  if (!options_.linkPath.empty()) removeSymlink(options_.linkPath);
  ::close(wakeRead_);
  ::close(wakeWrite_);
  wakeRead_ = wakeWrite_ = -1;
  {
    const std::lock_guard lock(mutex_);
    running_ = false;
  }
  changed_.notify_all();
}

std::string SimTracker::errorText() const {
  const std::lock_guard lock(mutex_);
  return error_;
}

std::string SimTracker::devicePath() const {
  const std::lock_guard lock(mutex_);
  return devicePath_;
}

void SimTracker::setBehaviour(const SimBehaviour& behaviour) {
  {
    const std::lock_guard lock(mutex_);
    behaviour_ = behaviour;
  }
  wake();  // a shorter delay may let a waiting reply go now
}

SimBehaviour SimTracker::behaviour() const {
  const std::lock_guard lock(mutex_);
  return behaviour_;
}

bool SimTracker::setImage(std::vector<std::uint8_t> image) {
  if (image.empty() || image.size() > kMaxImageSize) return false;
  const std::lock_guard lock(mutex_);
  image_ = std::move(image);
  return true;
}

std::vector<std::uint8_t> SimTracker::image() const {
  const std::lock_guard lock(mutex_);
  return image_;
}

void SimTracker::hangUp() {
  std::unique_lock lock(mutex_);
  if (!running_) return;
  actions_.push_back(Action::HangUp);
  const std::uint64_t mine = ++actionsRequested_;
  lock.unlock();
  wake();
  lock.lock();
  changed_.wait(lock, [&] { return actionsDone_ >= mine || !running_; });
}

void SimTracker::hangUpDuringNextSettingsReply(std::size_t bytes) {
  const std::lock_guard lock(mutex_);
  hangUpDuringSettings_ = bytes;
}

bool SimTracker::comeBack() {
  std::unique_lock lock(mutex_);
  if (!running_) return false;
  actions_.push_back(Action::ComeBack);
  const std::uint64_t mine = ++actionsRequested_;
  lock.unlock();
  wake();
  lock.lock();
  changed_.wait(lock, [&] { return actionsDone_ >= mine || !running_; });
  return actionsDone_ >= mine && lastComeBackOk_;
}

SimCounters SimTracker::counters() const {
  const std::lock_guard lock(mutex_);
  return counters_;
}

bool SimTracker::waitFor(const std::function<bool(const SimCounters&)>& done, std::chrono::milliseconds limit) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [&] { return done(counters_); });
}

std::vector<std::uint8_t> SimTracker::writtenImage() const {
  const std::lock_guard lock(mutex_);
  return written_;
}

bool SimTracker::saveWrittenImage(const std::string& path) const { return saveImageFile(path, writtenImage()); }

bool SimTracker::openLine(std::string& error) {
  if (!line_.create(error)) return false;
  if (!options_.linkPath.empty() && !pointSymlink(options_.linkPath, line_.slavePath())) {
    error = "cannot point " + options_.linkPath + " at " + line_.slavePath();
    line_.close();
    return false;
  }
  const std::lock_guard lock(mutex_);
  devicePath_ = line_.slavePath();
  return true;
}

void SimTracker::closeLine() {
  line_.close();
  framer_.clear();
  jobs_.clear();
  tx_ = {};
  const std::lock_guard lock(mutex_);
  devicePath_.clear();
}

void SimTracker::wake() {
  const std::uint8_t byte = 1;
  // A full pipe already holds a wake-up, so a failed write loses nothing.
  if (wakeWrite_ >= 0 && ::write(wakeWrite_, &byte, 1) < 0) return;
}

void SimTracker::logLine(std::string_view line) {
  if (options_.log) options_.log(line);
}

void SimTracker::run() {
  for (;;) {
    std::uint32_t delayMs = 0;
    {
      const std::lock_guard lock(mutex_);
      if (stopRequested_) break;
      delayMs = behaviour_.replyDelayMs;
    }
    performActions();

    // The next reply starts once the line is free and its delay has passed.
    const auto delay = std::chrono::milliseconds(delayMs);
    SteadyClock::time_point now = SteadyClock::now();
    while (line_.isOpen() && !tx_.active() && !jobs_.empty() && now >= jobs_.front().arrival + delay) {
      Job job = std::move(jobs_.front());
      jobs_.pop_front();
      startReply(job);
    }

    int timeoutMs = -1;
    bool wantWritable = false;
    if (tx_.active()) {
      timeoutMs = sendSome(now);
      if (!tx_.active()) continue;  // finished, dropped or hung up: on to the next job at once
      wantWritable = timeoutMs < 0;  // the line is full
    } else if (line_.isOpen() && !jobs_.empty()) {
      timeoutMs = msUntil(jobs_.front().arrival + delay, now);
    }

    std::array<pollfd, 2> fds = {{{wakeRead_, POLLIN, 0}, {line_.master(), POLLIN, 0}}};
    if (wantWritable) fds[1].events |= POLLOUT;
    const nfds_t count = line_.isOpen() ? 2 : 1;
    if (::poll(fds.data(), count, timeoutMs) < 0) continue;
    if (fds[0].revents & POLLIN) {
      std::array<std::uint8_t, 64> drain{};
      while (::read(wakeRead_, drain.data(), drain.size()) > 0) {
      }
    }
    if (count == 2 && (fds[1].revents & POLLIN)) receive();
    // Never expected while the pair keeps its own slave open; closing avoids spinning on it.
    if (count == 2 && !(fds[1].revents & POLLIN) && (fds[1].revents & (POLLHUP | POLLERR))) closeLine();
  }
}

void SimTracker::performActions() {
  std::deque<Action> todo;
  {
    const std::lock_guard lock(mutex_);
    todo.swap(actions_);
  }
  if (todo.empty()) return;
  bool comeBackOk = true;
  std::string error;
  for (const Action action : todo) {
    const bool wasOpen = line_.isOpen();
    closeLine();
    if (action == Action::HangUp) {
      if (wasOpen) {
        const std::lock_guard lock(mutex_);
        ++counters_.hangUps;
      }
      logLine("hung up");
    } else {
      comeBackOk = openLine(error);
      logLine(comeBackOk ? "came back on " + line_.slavePath() : "cannot come back: " + error);
    }
  }
  {
    const std::lock_guard lock(mutex_);
    actionsDone_ += todo.size();
    lastComeBackOk_ = comeBackOk;
    if (!comeBackOk) error_ = error;
  }
  changed_.notify_all();
}

void SimTracker::receive() {
  std::array<std::uint8_t, 4096> buffer{};
  ssize_t got = 0;
  while ((got = ::read(line_.master(), buffer.data(), buffer.size())) > 0) {
    framer_.append(std::span(buffer).first(static_cast<std::size_t>(got)));
    const std::lock_guard lock(mutex_);
    counters_.bytesReceived += static_cast<std::uint64_t>(got);
  }
  while (std::optional<ReceivedRequest> request = framer_.next()) {
    bool answer = false;
    {
      const std::lock_guard lock(mutex_);
      if (!request->checksumOk) {
        ++counters_.badChecksums;
      } else {
        switch (request->command) {
          case kHandshakeCommand: ++counters_.handshakes; answer = true; break;
          case kReadCommand: ++counters_.readSettings; answer = true; break;
          case kWriteCommand: ++counters_.writeSettings; answer = true; break;
          default: ++counters_.unknownCommands; break;
        }
      }
    }
    char line[96];
    std::snprintf(line, sizeof line, "request: %s, %zu bytes%s", requestName(request->command), request->frame.size(),
                  request->checksumOk ? "" : ", wrong checksum (ignored)");
    logLine(line);
    if (answer) jobs_.push_back({std::move(*request), SteadyClock::now()});
  }
  changed_.notify_all();
}

void SimTracker::startReply(Job& job) {
  SimBehaviour behaviour;
  {
    const std::lock_guard lock(mutex_);
    behaviour = behaviour_;
    if (behaviour.silent) ++counters_.repliesSuppressed;
  }
  const bool ignored = (behaviour.ignoreReads && job.request.command == kReadCommand) ||
                       (behaviour.ignoreWrites && job.request.command == kWriteCommand);
  if (behaviour.silent || ignored) {
    if (ignored) {
      const std::lock_guard lock(mutex_);
      ++counters_.repliesSuppressed;
    }
    changed_.notify_all();
    logLine("silent: no reply");
    return;
  }

  const std::vector<std::uint8_t> reply = replyTo(job.request, behaviour);
  tx_ = {};
  if (behaviour.echo) tx_.bytes = job.request.frame;
  for (std::size_t i = 0; i < behaviour.noiseBytes; ++i) tx_.bytes.push_back(noiseByte(i));
  const std::size_t replyStart = tx_.bytes.size();
  tx_.bytes.insert(tx_.bytes.end(), reply.begin(), reply.end());
  if (job.request.command == kReadCommand) {
    const std::lock_guard lock(mutex_);
    if (hangUpDuringSettings_) {
      tx_.hangUpAt = replyStart + std::min(*hangUpDuringSettings_, reply.size());
      hangUpDuringSettings_.reset();
    }
  }
  tx_.behaviour = behaviour;
  tx_.started = tx_.nextWriteAt = SteadyClock::now();

  char line[96];
  std::snprintf(line, sizeof line, "reply: %s, %zu bytes", requestName(job.request.command), reply.size());
  logLine(line);
}

std::vector<std::uint8_t> SimTracker::replyTo(const ReceivedRequest& request, const SimBehaviour& behaviour) {
  const std::span<const std::uint8_t> id = std::span(request.frame).subspan(4, 7);
  std::vector<std::uint8_t> data;
  switch (request.command) {
    case kHandshakeCommand:
      data = {0x01};
      break;
    case kReadCommand:
      data = image();
      if (behaviour.unknownLayout) std::copy_n(kUnknownMagic.begin(), std::min(data.size(), kUnknownMagic.size()), data.begin());
      if (behaviour.shortImage && *behaviour.shortImage < data.size()) data.resize(*behaviour.shortImage);
      break;
    case kWriteCommand:
      if (behaviour.refuseWrites) {
        data = {0x00};
      } else {
        storeWrittenImage(request.data(), !behaviour.forgetWrites);
        data = {0x01};
      }
      break;
    default:
      break;
  }
  const bool damaged = behaviour.badChecksum || (behaviour.badSettingsChecksum && request.command == kReadCommand);
  return replyFrame(id, request.command, data, damaged);
}

void SimTracker::storeWrittenImage(std::span<const std::uint8_t> data, bool takeAsSettings) {
  {
    const std::lock_guard lock(mutex_);
    written_.assign(data.begin(), data.end());
    // A write of the tracker's own layout becomes its settings; an Extended
    // tracker keeps its magic and firmware text (a written block has zeros there).
    if (takeAsSettings && !data.empty() && data.size() == image_.size()) {
      const bool extended = image_.size() > kExtendedHeaderSize && std::equal(kExtendedMagic.begin(), kExtendedMagic.end(), image_.begin());
      const std::size_t from = extended ? kExtendedHeaderSize : 0;
      std::copy(data.begin() + static_cast<std::ptrdiff_t>(from), data.end(), image_.begin() + static_cast<std::ptrdiff_t>(from));
    }
  }
  if (!options_.saveWritesTo.empty() && !saveImageFile(options_.saveWritesTo, writtenImage()))
    logLine("cannot save the written image to " + options_.saveWritesTo);
}

int SimTracker::sendSome(SteadyClock::time_point now) {
  const SimBehaviour b = tx_.behaviour;  // a copy: tx_ is reset on the way out
  for (;;) {
    if (tx_.hangUpAt && tx_.sent >= *tx_.hangUpAt) {
      // Wait for the tool to read what it got: the hang-up would discard it.
      if (!tx_.cutSince) tx_.cutSince = now;
      if (line_.unreadBySlave() > 0) {
        tx_.readSince.reset();
      } else if (!tx_.readSince) {
        tx_.readSince = now;
      }
      const bool read = tx_.readSince && now - *tx_.readSince >= kReadSettle;
      if (!read && now - *tx_.cutSince < kLongestHangUpWait) return static_cast<int>(kHangUpPoll.count());
      closeLine();
      {
        const std::lock_guard lock(mutex_);
        ++counters_.hangUps;
      }
      changed_.notify_all();
      logLine("hung up during the settings reply");
      return -1;
    }
    if (tx_.sent >= tx_.bytes.size()) {
      tx_ = {};
      {
        const std::lock_guard lock(mutex_);
        ++counters_.repliesSent;
      }
      changed_.notify_all();
      return -1;
    }
    if (now < tx_.nextWriteAt) return msUntil(tx_.nextWriteAt, now);

    const std::size_t end = tx_.hangUpAt ? *tx_.hangUpAt : tx_.bytes.size();
    const std::size_t remaining = end - tx_.sent;
    const std::size_t most = b.writeSize ? std::min(b.writeSize, remaining) : remaining;
    std::size_t piece = most;
    if (b.baud > 0) {
      // 10 bits per byte: the line carries baud / 10 bytes a second.
      const auto elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(now - tx_.started).count();
      const auto allowedTotal = static_cast<std::size_t>(static_cast<unsigned long long>(elapsedUs) * b.baud / 10'000'000ULL);
      const std::size_t allowed = allowedTotal > tx_.sent ? allowedTotal - tx_.sent : 0;
      const std::size_t least = b.writeSize ? most : std::min(kSmallestPacedWrite, remaining);
      if (allowed < least) {
        const auto due = tx_.started + std::chrono::microseconds((tx_.sent + least) * 10'000'000ULL / b.baud);
        return std::max(1, msUntil(due, now));
      }
      piece = std::min(most, allowed);
    }
    const ssize_t written = ::write(line_.master(), tx_.bytes.data() + tx_.sent, piece);
    if (written < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) return -1;  // wait until the line takes more
      tx_ = {};  // the line is broken; drop the reply
      return -1;
    }
    tx_.sent += static_cast<std::size_t>(written);
    {
      const std::lock_guard lock(mutex_);
      ++counters_.writeCalls;
    }
    if (b.writeGapMs > 0) tx_.nextWriteAt = now + std::chrono::milliseconds(b.writeGapMs);
    now = SteadyClock::now();
  }
}

}  // namespace pelmora::sim
