#include "cli/tracker_job.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "app/open_failure_text.h"
#include "link/port_discovery.h"
#include "link/system_serial_port.h"

namespace pelmora::cli {
namespace {

// The text of an identity element as the settings file writes it, or "".
std::string identityText(const SettingsDocument& document, std::string_view name) {
  const int element = findElement(name);
  if (element < 0 || !document.named[static_cast<std::size_t>(element)]) return {};
  const auto value =
      nlohmann::json::parse(elementValueJson(document, static_cast<std::size_t>(element)), nullptr, false);
  return value.is_string() ? value.get<std::string>() : std::string{};
}

void fail(TrackerOutcome& outcome, ExitStatus status, std::string why) {
  outcome.status = status;
  outcome.failure = std::move(why);
}

// The engine's log lines are ASCII.
std::string narrow(std::u16string_view text) {
  std::string out;
  for (const char16_t unit : text) out.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  return out;
}

}  // namespace

TrackerJob::TrackerJob(PortTarget target, JobHooks hooks)
    : target_(std::move(target)), hooks_(std::move(hooks)), port_(makeSystemSerialPort(target_.map)) {
  SessionHooks sessionHooks;
  sessionHooks.progress = [this](std::uint32_t ms) {
    if (hooks_.progress) hooks_.progress(stage_.load(), ms);
  };
  if (hooks_.verbose) {
    sessionHooks.log = [name = target_.name](std::u16string_view line) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), narrow(line).c_str());
    };
  }
  session_ = std::make_unique<TrackerSession>(*port_, clock_, hooks_.trace,
                                              EngineOptions{target_.checkReplyChecksum}, std::move(sessionHooks));
}

void TrackerJob::enter(const char* stage) {
  stage_.store(stage);
  if (hooks_.progress) hooks_.progress(stage, 0);
}

std::string TrackerJob::whyNot(RequestOutcome outcome) const {
  // The engine has said it in its log, just before it reported the end.
  const std::vector<std::u16string> log = session_->log();
  const auto said = [&](std::u16string_view part) -> std::string {
    for (auto line = log.rbegin(); line != log.rend(); ++line)
      if (line->find(part) != std::u16string::npos) return narrow(*line);
    return {};
  };
  switch (outcome) {
    case RequestOutcome::Refused:
      return "the tracker refused the settings (Fail to write setting to tracker!)";
    case RequestOutcome::NoReply:
      return "no reply from the tracker";
    case RequestOutcome::NoSettings:
      return "no settings to write";
    case RequestOutcome::Damaged:
    case RequestOutcome::Incomplete:
    case RequestOutcome::UnknownLayout:
      return said(u"not loaded");
    case RequestOutcome::NotSent:
      return "not sent: the port did not take the request, or the tracker went away";
    case RequestOutcome::Done:
      break;
  }
  return {};
}

TrackerOutcome TrackerJob::read(SettingsDocument& document) {
  TrackerOutcome outcome;
  outcome.port = target_.name;
  enter("handshake");
  if (!session_->open(target_.number)) {
    const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
    const OpenFailureDetail detail = explainOpenFailure(
        port_->lastOpenFailure(target_.number), port_->lastOpenFailureDevice(target_.number), *discovery);
    fail(outcome, kExitBadInput, openFailureReason(detail, target_.number));
    return outcome;
  }
  if (!session_->waitForTracker(kHandshakeTimeoutMs)) {
    fail(outcome, kExitTrackerFailed, "no tracker answering");
    return outcome;
  }
  enter("reading");
  const TrackerSession::ReadResult read = session_->read();
  if (read.outcome != RequestOutcome::Done) {
    fail(outcome, kExitTrackerFailed, whyNot(read.outcome));
    return outcome;
  }
  codec_.decodeSettingsBlock(read.image, model_);
  document = documentFromTracker(codec_, model_);
  outcome.imei = identityText(document, "Imei");
  outcome.firmware = identityText(document, "RomVersion");
  return outcome;
}

TrackerOutcome TrackerJob::provision(const SettingsDocument& document, bool dryRun) {
  SettingsDocument read;
  TrackerOutcome outcome = this->read(read);
  if (!outcome.failure.empty()) return outcome;

  const Loaded<SettingsModel> wanted = laidOverRead(codec_, document);
  if (!wanted) {
    fail(outcome, kExitBadInput, wanted.error());
    return outcome;
  }
  const std::vector<FieldChange> changes = pendingChanges(codec_, *wanted);
  for (const FieldChange& change : changes) outcome.changedFields.push_back(change.name);
  if (hooks_.changes) hooks_.changes(changes);
  if (dryRun) return outcome;
  if (changes.empty()) {
    outcome.verified = true;  // the tracker already holds what the document says
    return outcome;
  }

  const SettingsDocument image = documentFromTracker(codec_, *wanted);
  const std::vector<std::uint8_t> written(image.bytes().begin(), image.bytes().end());
  enter("writing");
  if (const RequestOutcome result = session_->write(written); result != RequestOutcome::Done) {
    fail(outcome, kExitTrackerFailed, "write: " + whyNot(result));
    return outcome;
  }
  outcome.written = true;
  enter("reading back");
  const TrackerSession::ReadResult back = session_->read();
  if (back.outcome != RequestOutcome::Done) {
    fail(outcome, kExitTrackerFailed, "read-back: " + whyNot(back.outcome));
    return outcome;
  }
  const Loaded<std::vector<FieldChange>> wrong = verifyWrite(written, back.image);
  if (!wrong) {
    fail(outcome, kExitTrackerFailed, "read-back: " + wrong.error());
  } else if (!wrong->empty()) {
    std::string fields;
    for (const FieldChange& change : *wrong) fields += (fields.empty() ? "" : ", ") + change.name;
    fail(outcome, kExitTrackerFailed, "not verified: the tracker holds other values in " + fields);
  } else {
    outcome.verified = true;
  }
  return outcome;
}

}  // namespace pelmora::cli
