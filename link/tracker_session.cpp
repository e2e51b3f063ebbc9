#include "link/tracker_session.h"

#include <chrono>

namespace pelmora {
namespace {

constexpr std::uint32_t kHandshakeEveryMs = 1000;
// The engine ends every request itself (7000 ms, and up to 5000 ms more
// while a long reply is still arriving); this only guards against a bug.
constexpr std::uint32_t kRequestLimitMs = kRequestTimeoutMs + 10000;

std::string narrow(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char16_t unit : text) out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return out;
}

}  // namespace

TrackerSession::TrackerSession(std::unique_ptr<SerialPort> port, SessionOptions options)
    : port_(std::move(port)),
      options_(std::move(options)),
      engine_(*port_, clock_, *this, settings_, options_.trace, options_.engine) {
  engine_.startCommunication();
}

TrackerSession::~TrackerSession() {
  engine_.shutdown();
  const int open = engine_.currentPort();
  if (open != kNoPort) port_->close(open);
}

void TrackerSession::trackerEvent(int kind, std::int32_t value, std::u16string_view text) {
  if (kind == TRACKER_EVENT_PROGRESS) {
    if (options_.progress && value > 0) options_.progress(static_cast<std::uint32_t>(value));
    return;
  }
  if (kind == TRACKER_EVENT_LOG && options_.log) options_.log(text);
  const std::lock_guard<std::mutex> hold(lock_);
  if (kind == TRACKER_EVENT_LOG) lastLine_ = narrow(text);
  if (kind == TRACKER_EVENT_BUTTONS) online_ = value != BUTTONS_OFFLINE;
  changed_.notify_all();
}

void TrackerSession::requestEnded(CommandType type, RequestEnd end) {
  const std::lock_guard<std::mutex> hold(lock_);
  (type == ReadSettings ? readEnd_ : writeEnd_) = end;
  changed_.notify_all();
}

SessionResult TrackerSession::connect(int port) {
  if (!engine_.openTrackerPort(port)) {
    return {SessionStatus::PortUnusable, "the port does not open", engine_.lastOpenFailure(port)};
  }
  // Handshakes at the window's pace, until one is answered or its wait is over.
  const auto start = std::chrono::steady_clock::now();
  const auto limit = start + std::chrono::milliseconds(kHandshakeTimeoutMs);
  std::unique_lock<std::mutex> hold(lock_);
  for (auto next = start + std::chrono::milliseconds(kHandshakeEveryMs); !online_;
       next += std::chrono::milliseconds(kHandshakeEveryMs)) {
    const auto until = std::min(next, limit);
    if (changed_.wait_until(hold, until, [this] { return online_; })) break;
    if (until >= limit) return {SessionStatus::NoTracker, "no tracker answering", OpenFailure::None};
    hold.unlock();
    engine_.runHandshake();
    hold.lock();
  }
  return {};
}

SessionResult TrackerSession::waitForEnd(CommandType type, std::uint32_t limitMs) {
  std::unique_lock<std::mutex> hold(lock_);
  std::optional<RequestEnd>& end = type == ReadSettings ? readEnd_ : writeEnd_;
  if (!changed_.wait_for(hold, std::chrono::milliseconds(limitMs), [&] { return end.has_value(); })) {
    return {SessionStatus::Failed, "no reply from the tracker", OpenFailure::None};
  }
  if (*end == RequestEnd::Done) return {};
  return {SessionStatus::Failed, lastLine_, OpenFailure::None};
}

SessionResult TrackerSession::readSettings() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    readEnd_.reset();
  }
  engine_.requestReadSettings();
  return waitForEnd(ReadSettings, kRequestLimitMs);
}

SessionResult TrackerSession::writeSettings(const SettingsModel& target) {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    writeEnd_.reset();
  }
  engine_.requestWriteSettings([&target](SettingsModel& model) { model = target; });
  return waitForEnd(WriteSettings, kRequestLimitMs);
}

void TrackerSession::withSettings(const std::function<void(const SettingsCodec&, const SettingsModel&)>& use) {
  const std::lock_guard<std::mutex> hold(settings_.lock);
  use(settings_.codec, settings_.model);
}

}  // namespace pelmora
