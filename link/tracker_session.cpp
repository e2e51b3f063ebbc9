#include "link/tracker_session.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace pelmora {
namespace {

constexpr std::uint32_t kHandshakePeriodMs = 1000;
// How often a wait that may be given up asks whether to.
constexpr std::uint32_t kGiveUpPollMs = 100;

struct OutcomeWords {
  RequestOutcome outcome;
  const char* words;
};

// The words of a request that did not end Done, where the engine gave none
// of its own. A settings reply not loaded is said as "the reply was ..., not loaded".
constexpr OutcomeWords kOutcomeWords[] = {
    {RequestOutcome::Refused, "refused"},
    {RequestOutcome::NoReply, "no reply"},
    {RequestOutcome::NotSent, "not sent"},
    {RequestOutcome::NoSettings, "no settings to write"},
    {RequestOutcome::Damaged, "damaged"},
    {RequestOutcome::Incomplete, "incomplete"},
    {RequestOutcome::UnknownLayout, "of an unknown layout"},
    {RequestOutcome::GivenUp, "given up"},
};

TrackerSession::Failure failure(RequestOutcome outcome, std::string engineWords = {}) {
  if (engineWords.empty()) {
    for (const OutcomeWords& entry : kOutcomeWords)
      if (entry.outcome == outcome) engineWords = entry.words;
  }
  return {outcome, std::move(engineWords)};
}

}  // namespace

void TrackerSession::Listener::trackerEvent(TrackerEvent kind, std::int32_t value, std::u16string_view text) {
  if (kind == TrackerEvent::Progress && hooks_.progress && value > 0) hooks_.progress(static_cast<std::uint32_t>(value));
  if (kind != TrackerEvent::Log) return;
  if (hooks_.log) hooks_.log(text);
  std::lock_guard<std::mutex> hold(lock_);
  log_.emplace_back(text);
}

void TrackerSession::Listener::requestFinished(std::int32_t type, RequestOutcome outcome) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (type != awaited_ || done_) return;
    outcome_ = outcome;
    done_ = true;
  }
  finished_.notify_all();
}

void TrackerSession::Listener::settingsNotLoaded(RequestOutcome, std::string_view why) {
  std::lock_guard<std::mutex> hold(lock_);
  if (awaited_ == ReadSettings && !done_) notLoaded_ = why;
}

void TrackerSession::Listener::expect(std::int32_t type) {
  std::lock_guard<std::mutex> hold(lock_);
  awaited_ = type;
  done_ = false;
  notLoaded_.clear();
}

std::optional<RequestOutcome> TrackerSession::Listener::wait(std::int32_t type, const GiveUp& giveUp) {
  // Every request ends: with its reply, its deadline or a refusal.
  std::unique_lock<std::mutex> hold(lock_);
  const auto ended = [&] { return done_ && awaited_ == type; };
  if (!giveUp) {
    finished_.wait(hold, ended);
  } else {
    while (!finished_.wait_for(hold, std::chrono::milliseconds(kGiveUpPollMs), ended)) {
      hold.unlock();
      const bool stop = giveUp();  // the caller's code runs without the lock
      hold.lock();
      if (stop && !ended()) {
        awaited_ = 0;  // a late end of this request is ignored
        return std::nullopt;
      }
    }
  }
  awaited_ = 0;
  return outcome_;
}

std::string TrackerSession::Listener::notLoaded() const {
  std::lock_guard<std::mutex> hold(lock_);
  return notLoaded_;
}

std::vector<std::u16string> TrackerSession::Listener::log() const {
  std::lock_guard<std::mutex> hold(lock_);
  return log_;
}

TrackerSession::TrackerSession(SerialPort& port, Clock& clock, TraceSink* trace, EngineOptions options,
                               SessionHooks hooks)
    : clock_(clock), listener_(std::move(hooks)), engine_(port, clock, listener_, settings_, trace, options) {
  engine_.startCommunication();
}

TrackerSession::~TrackerSession() { engine_.shutdown(); }

OpenStatus TrackerSession::open(int port) { return engine_.openTrackerPort(port); }

bool TrackerSession::waitForTracker(std::uint32_t limitMs, const GiveUp& giveUp) {
  const std::uint64_t start = clock_.nowMs();
  std::uint64_t nextHandshake = start + kHandshakePeriodMs;
  for (;;) {
    // Cleared before the look, so that a change after it ends the sleep below.
    engine_.onlineChanged().clear();
    if (engine_.trackerOnline()) return true;
    if (engine_.currentPort() == kNoPort) return false;  // the port hung up (or was never opened)
    const std::uint64_t now = clock_.nowMs();
    if (now - start >= limitMs || (giveUp && giveUp())) return false;
    if (now >= nextHandshake) {
      engine_.runHandshake();
      nextHandshake += kHandshakePeriodMs;
    }
    std::uint64_t until = std::min(nextHandshake, start + limitMs);
    if (giveUp) until = std::min(until, now + kGiveUpPollMs);
    clock_.sleepOrWake(static_cast<std::uint32_t>(until - now), engine_.onlineChanged());
  }
}

Result<TrackerSession::TrackerSettings, RequestOutcome> TrackerSession::read(const GiveUp& giveUp) {
  listener_.expect(ReadSettings);
  engine_.requestReadSettings();
  const std::optional<RequestOutcome> outcome = listener_.wait(ReadSettings, giveUp);
  if (!outcome) return failure(RequestOutcome::GivenUp);
  if (*outcome != RequestOutcome::Done) return failure(*outcome, listener_.notLoaded());
  TrackerSettings got;
  std::lock_guard<std::mutex> hold(settings_.lock);
  const std::span<const std::uint8_t> image = settings_.codec.readImage();
  got.image.assign(image.begin(), image.end());
  got.model = settings_.model;
  return got;
}

Status<RequestOutcome> TrackerSession::write(std::span<const std::uint8_t> image) {
  if (!engine_.loadSettings(image)) return failure(RequestOutcome::NoSettings);
  listener_.expect(WriteSettings);
  engine_.requestWriteSettings(nullptr);
  const RequestOutcome outcome = *listener_.wait(WriteSettings);
  if (outcome != RequestOutcome::Done) return failure(outcome);
  return {};
}

std::vector<std::u16string> TrackerSession::log() const { return listener_.log(); }

}  // namespace pelmora
