#include "sim/sim_tracker.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <limits>
#include <span>
#include <utility>

#include "sim/line_pace.h"

namespace pelmora::sim {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr std::size_t kSmallestPacedWrite = 16;  // fewer wake-ups at low speeds
// Before a hang-up in the middle of a reply: the line must read empty this
// long (bytes reach the slave's queue a little after the write), but the
// wait ends after the longest wait even if the tool reads nothing.
constexpr auto kReadSettle = std::chrono::milliseconds(50);
constexpr auto kLongestHangUpWait = std::chrono::seconds(3);
constexpr auto kHangUpPoll = std::chrono::milliseconds(5);

int msUntil(SteadyClock::time_point when, SteadyClock::time_point now) {
  if (when <= now) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(when - now).count();
  return static_cast<int>(std::min<long long>(ms, std::numeric_limits<int>::max()));
}

}  // namespace

SimTracker::SimTracker(SimOptions options) : linkPath_(options.linkPath), answers_(options) {}

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
  if (!linkPath_.empty()) removeSymlink(linkPath_);
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
  answers_.setBehaviour(behaviour);
  wake();  // a shorter delay may let a waiting reply go now
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

bool SimTracker::openLine(std::string& error) {
  if (!line_.create(error)) return false;
  if (!linkPath_.empty() && !pointSymlink(linkPath_, line_.slavePath())) {
    error = "cannot point " + linkPath_ + " at " + line_.slavePath();
    line_.close();
    return false;
  }
  const std::lock_guard lock(mutex_);
  devicePath_ = line_.slavePath();
  return true;
}

void SimTracker::closeLine() {
  line_.close();
  answers_.clearPartial();
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

void SimTracker::run() {
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stopRequested_) break;
    }
    const std::uint32_t delayMs = answers_.behaviour().replyDelayMs;
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
      if (wasOpen) answers_.countHangUp();
      answers_.log("hung up");
    } else {
      comeBackOk = openLine(error);
      answers_.log(comeBackOk ? "came back on " + line_.slavePath() : "cannot come back: " + error);
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
    for (ReceivedRequest& request : answers_.receive(std::span(buffer).first(static_cast<std::size_t>(got))))
      jobs_.push_back({std::move(request), SteadyClock::now()});
  }
}

void SimTracker::startReply(Job& job) {
  std::optional<Answer> answer = answers_.answer(job.request);
  if (!answer) return;
  tx_ = {};
  tx_.bytes = std::move(answer->bytes);
  if (job.request.command == kReadSettingsCommand) {
    const std::lock_guard lock(mutex_);
    if (hangUpDuringSettings_) {
      tx_.hangUpAt = answer->replyStart + std::min(*hangUpDuringSettings_, tx_.bytes.size() - answer->replyStart);
      hangUpDuringSettings_.reset();
    }
  }
  tx_.behaviour = answer->behaviour;
  tx_.started = tx_.nextWriteAt = SteadyClock::now();
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
      answers_.countHangUp();
      answers_.log("hung up during the settings reply");
      return -1;
    }
    if (tx_.sent >= tx_.bytes.size()) {
      tx_ = {};
      answers_.countReplySent();
      return -1;
    }
    if (now < tx_.nextWriteAt) return msUntil(tx_.nextWriteAt, now);

    const std::size_t end = tx_.hangUpAt ? *tx_.hangUpAt : tx_.bytes.size();
    const std::size_t remaining = end - tx_.sent;
    const std::size_t most = b.writeSize ? std::min(b.writeSize, remaining) : remaining;
    std::size_t piece = most;
    if (b.baud > 0) {
      const auto elapsedUs = std::chrono::duration_cast<std::chrono::microseconds>(now - tx_.started).count();
      const auto allowedTotal = static_cast<std::size_t>(bytesCarried(static_cast<std::uint64_t>(elapsedUs), b.baud));
      const std::size_t allowed = allowedTotal > tx_.sent ? allowedTotal - tx_.sent : 0;
      const std::size_t least = b.writeSize ? most : std::min(kSmallestPacedWrite, remaining);
      if (allowed < least) {
        const auto due = tx_.started + std::chrono::microseconds(usToCarry(tx_.sent + least, b.baud));
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
    answers_.countWriteCall();
    if (b.writeGapMs > 0) tx_.nextWriteAt = now + std::chrono::milliseconds(b.writeGapMs);
    now = SteadyClock::now();
  }
}

}  // namespace pelmora::sim
