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

TrackerJob::TrackerJob(PortTarget target, JobHooks hooks) : target_(std::move(target)), hooks_(std::move(hooks)) {
  SessionOptions options;
  options.trace = hooks_.trace;
  options.engine.checkReplyChecksum = target_.checkReplyChecksum;
  options.progress = [this](std::uint32_t ms) {
    if (hooks_.progress) hooks_.progress(stage_.load(), ms);
  };
  if (hooks_.verbose) {
    options.log = [name = target_.name](std::u16string_view line) {
      std::fprintf(stderr, "%s: %s\n", name.c_str(), narrow(line).c_str());
    };
  }
  session_ = std::make_unique<TrackerSession>(makeSystemSerialPort(target_.map), std::move(options));
}

void TrackerJob::enter(const char* stage) {
  stage_.store(stage);
  if (hooks_.progress) hooks_.progress(stage, 0);
}

TrackerOutcome TrackerJob::read(SettingsDocument& document) {
  TrackerOutcome outcome;
  outcome.port = target_.name;
  enter("handshake");
  const SessionResult connected = session_->connect(target_.number);
  if (connected.status == SessionStatus::PortUnusable) {
    const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
    const OpenFailureDetail detail = explainOpenFailure(
        connected.openFailure, session_->serialPort().lastOpenFailureDevice(target_.number), *discovery);
    fail(outcome, kExitBadInput, openFailureReason(detail, target_.number));
    return outcome;
  }
  if (!connected.ok()) {
    fail(outcome, kExitTrackerFailed, connected.message);
    return outcome;
  }
  enter("reading");
  if (const SessionResult result = session_->readSettings(); !result.ok()) {
    fail(outcome, kExitTrackerFailed, result.message);
    return outcome;
  }
  session_->withSettings([&](const SettingsCodec& codec, const SettingsModel& model) {
    document = documentFromTracker(codec, model);
  });
  outcome.imei = identityText(document, "Imei");
  outcome.firmware = identityText(document, "RomVersion");
  return outcome;
}

TrackerOutcome TrackerJob::provision(const SettingsDocument& document, bool dryRun) {
  SettingsDocument read;
  TrackerOutcome outcome = this->read(read);
  if (!outcome.failure.empty()) return outcome;

  std::optional<Loaded<SettingsModel>> wanted;
  std::vector<FieldChange> changes;
  std::vector<std::uint8_t> written;
  session_->withSettings([&](const SettingsCodec& codec, const SettingsModel&) {
    wanted.emplace(laidOverRead(codec, document));
    if (!*wanted) return;
    changes = pendingChanges(codec, **wanted);
    const SettingsDocument image = documentFromTracker(codec, **wanted);
    written.assign(image.bytes().begin(), image.bytes().end());
  });
  if (!*wanted) {
    fail(outcome, kExitBadInput, wanted->error());
    return outcome;
  }
  for (const FieldChange& change : changes) outcome.changedFields.push_back(change.name);
  if (hooks_.changes) hooks_.changes(changes);
  if (dryRun) return outcome;
  if (changes.empty()) {
    outcome.verified = true;  // the tracker already holds what the document says
    return outcome;
  }

  enter("writing");
  if (const SessionResult result = session_->writeSettings(**wanted); !result.ok()) {
    fail(outcome, kExitTrackerFailed, "write: " + result.message);
    return outcome;
  }
  outcome.written = true;
  enter("reading back");
  if (const SessionResult result = session_->readSettings(); !result.ok()) {
    fail(outcome, kExitTrackerFailed, "read-back: " + result.message);
    return outcome;
  }
  std::optional<Loaded<std::vector<FieldChange>>> wrong;
  session_->withSettings([&](const SettingsCodec& codec, const SettingsModel&) {
    wrong.emplace(verifyWrite(written, codec.readImage()));
  });
  if (!*wrong) {
    fail(outcome, kExitTrackerFailed, "read-back: " + wrong->error());
  } else if (!(*wrong)->empty()) {
    std::string fields;
    for (const FieldChange& change : **wrong) fields += (fields.empty() ? "" : ", ") + change.name;
    fail(outcome, kExitTrackerFailed, "not verified: the tracker holds other values in " + fields);
  } else {
    outcome.verified = true;
  }
  return outcome;
}

}  // namespace pelmora::cli
