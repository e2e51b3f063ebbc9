#include "cli/tracker_job.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "link/open_failure_text.h"
#include "link/port_discovery.h"
#include "link/shown_text.h"
#include "link/system_serial_port.h"
#include "provision/tracker_write.h"
#include "settings/utf.h"

namespace pelmora::cli {
namespace {

constexpr const char* kInterruptedText = "interrupted before writing";
constexpr const char* kWriteUnansweredText = "no reply: the tracker may hold the new settings; read it again";

// How a request that did not end done is told, by its kind. A settings
// reply that was not loaded (text nullptr) is told in the session's words,
// the engine's own where it gave some.
struct OutcomeText {
  RequestOutcome outcome;
  const char* text;
};
constexpr OutcomeText kOutcomeTexts[] = {
    {RequestOutcome::Refused, "the tracker refused the settings (Fail to write setting to tracker!)"},
    {RequestOutcome::NoReply, "no reply from the tracker"},
    {RequestOutcome::NoSettings, "no settings to write"},
    {RequestOutcome::NotSent, "not sent: the port did not take the request, or the tracker went away"},
    {RequestOutcome::Damaged, nullptr},
    {RequestOutcome::Incomplete, nullptr},
    {RequestOutcome::UnknownLayout, nullptr},
};

std::string whyNot(const TrackerSession::Failure& failure) {
  for (const OutcomeText& entry : kOutcomeTexts) {
    if (entry.outcome != failure.kind) continue;
    if (entry.text != nullptr) return entry.text;
    return "the tracker's settings reply was " + failure.message + ", not loaded";
  }
  return {};
}

// The text of an element as the settings file writes it, or "".
std::string elementText(const SettingsDocument& document, std::string_view name) {
  const int element = findElement(name);
  if (element < 0 || !document.named[static_cast<std::size_t>(element)]) return {};
  const auto value =
      nlohmann::json::parse(elementValueJson(document, static_cast<std::size_t>(element)), nullptr, false);
  return value.is_string() ? value.get<std::string>() : std::string{};
}

void fail(TrackerOutcome& outcome, ExitStatus status, std::string why) {
  outcome.failure = CliError{status, std::move(why)};
}

void stop(TrackerOutcome& outcome) {
  outcome.interrupted = true;
  fail(outcome, kExitInterrupted, kInterruptedText);
}

}  // namespace

TrackerJob::TrackerJob(PortTarget target, JobHooks hooks)
    : target_(std::move(target)), hooks_(std::move(hooks)), port_(makeSystemSerialPort(target_.map)) {
  SessionHooks sessionHooks;
  sessionHooks.progress = [this](std::uint32_t ms) {
    if (hooks_.progress) hooks_.progress(stage_.load(), ms);
  };
  if (hooks_.verbose) {
    sessionHooks.log = [name = shown(target_.name)](std::u16string_view line) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), utf8FromUtf16(line).c_str());
    };
  }
  session_ = std::make_unique<TrackerSession>(*port_, clock_, hooks_.trace,
                                              EngineOptions{target_.checkReplyChecksum}, std::move(sessionHooks));
}

void TrackerJob::enter(const char* stage) {
  stage_.store(stage);
  if (hooks_.progress) hooks_.progress(stage, 0);
}

TrackerOutcome TrackerJob::read(SettingsDocument& document) {
  TrackerOutcome outcome;
  outcome.port = target_.name;
  const TrackerSession::GiveUp giveUp = [this] { return stopRequested(); };
  if (stopRequested()) {
    stop(outcome);
    return outcome;
  }
  enter("handshake");
  if (const OpenStatus opened = session_->open(target_.number); !opened) {
    const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
    const OpenFailureDetail detail =
        explainOpenFailure(opened.error().kind, port_->lastOpenFailureDevice(target_.number), *discovery);
    fail(outcome, kExitBadInput, openFailureReason(detail, shown(target_.name)));
    return outcome;
  }
  if (!session_->waitForTracker(kHandshakeTimeoutMs, giveUp)) {
    if (stopRequested()) {
      stop(outcome);
    } else {
      fail(outcome, kExitTrackerFailed, "no tracker answering");
    }
    return outcome;
  }
  enter("reading");
  const Result<TrackerSession::TrackerSettings, RequestOutcome> read = session_->read(giveUp);
  if (!read && read.error().kind == RequestOutcome::GivenUp) {
    stop(outcome);
    return outcome;
  }
  if (!read) {
    fail(outcome, kExitTrackerFailed, whyNot(read.error()));
    return outcome;
  }
  codec_.decodeSettingsBlock(read->image, model_);
  document = documentFromTracker(codec_, model_);
  outcome.imei = elementText(document, "Imei");
  outcome.firmware = elementText(document, "RomVersion");
  return outcome;
}

std::string TrackerJob::otherTrackerLine(const SettingsDocument& document, const SettingsDocument& read) const {
  if (!document.complete()) return {};
  const std::string fileId = elementText(document, "TrackerId");
  const std::string trackerId = elementText(read, "TrackerId");
  if (fileId == trackerId) return {};
  const auto imei = [](const SettingsDocument& d) {
    const std::string text = elementText(d, "Imei");
    return text.empty() ? std::string("none") : shown(text);
  };
  return "TrackerId differs: the file has \"" + shown(fileId) + "\", the tracker \"" +
         shown(trackerId) + "\" (IMEI " + imei(document) + " in the file, " + imei(read) +
         " on the tracker): the file comes from another tracker";
}

TrackerOutcome TrackerJob::provision(const SettingsDocument& document, bool dryRun) {
  SettingsDocument read;
  TrackerOutcome outcome = this->read(read);
  if (outcome.failure) return outcome;
  return writeOver(document, read, std::move(outcome), dryRun);
}

TrackerOutcome TrackerJob::writeOver(const SettingsDocument& document, const SettingsDocument& read,
                                     TrackerOutcome outcome, bool dryRun) {
  const SettingsResult<SettingsModel> wanted = laidOverRead(codec_, document);
  if (!wanted) {
    outcome.failure = cliError(wanted.error());
    return outcome;
  }
  const std::vector<FieldChange> changes = pendingChanges(codec_, *wanted);
  for (const FieldChange& change : changes) outcome.changedFields.push_back(change.name);
  if (hooks_.changes) hooks_.changes(changes);
  const std::string otherTracker = otherTrackerLine(document, read);
  if (!otherTracker.empty() && !dryRun && !hooks_.acceptOtherTrackerId) {
    fail(outcome, kExitBadInput, otherTracker + "; nothing written (--yes writes it all the same)");
    return outcome;
  }
  if (!otherTracker.empty() && hooks_.notice) hooks_.notice(shown(target_.name) + ": " + otherTracker);
  if (dryRun) return outcome;
  if (changes.empty()) {
    outcome.verified = true;  // the tracker already holds what the document says
    return outcome;
  }
  if (stopRequested()) {
    stop(outcome);
    return outcome;
  }

  // From here on the job goes to the end whatever the user asks: a write on
  // its way is finished, read back and verified.
  const TrackerWrite done =
      writeOverRead(*session_, codec_, *wanted, {hooks_.history, target_.name, "cli", changes}, [this](WriteStep step) {
        enter(step == WriteStep::Writing ? "writing" : "reading back");
      });
  outcome.written = done.written;
  outcome.verified = done.verified;
  outcome.beforeImage = done.beforeImage;
  switch (done.failure) {
    case WriteFailure::None:
      break;
    case WriteFailure::NotKept:
      fail(outcome, exitStatusFor(SettingsErrorKind::CannotWrite), done.detail + "; nothing written");
      break;
    case WriteFailure::NotSent:
      outcome.writeUnanswered = done.request.kind == RequestOutcome::NoReply;
      fail(outcome, kExitTrackerFailed,
           outcome.writeUnanswered ? kWriteUnansweredText : "write: " + whyNot(done.request));
      break;
    case WriteFailure::ReadBack:
      fail(outcome, kExitTrackerFailed, "read-back: " + whyNot(done.request));
      break;
    case WriteFailure::BadReadBack:
      fail(outcome, exitStatusFor(SettingsErrorKind::BadReadBack), "read-back: " + done.detail);
      break;
    case WriteFailure::NotVerified:
      fail(outcome, kExitTrackerFailed, "not verified: the tracker holds other values in " + done.detail);
      break;
  }
  return outcome;
}

}  // namespace pelmora::cli
