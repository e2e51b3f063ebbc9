#include "station/provision_job.h"

#include <array>

#include "link/link_engine.h"
#include "provision/tracker_write.h"
#include "settings/utf.h"

namespace pelmora::station {
namespace {

// How long a tracker just plugged in may take to answer: it boots first.
constexpr std::uint32_t kFirstAnswerMs = 15000;

constexpr std::array<const char*, 8> kStepWords{
    "waiting", "handshake", "reading", "writing", "verifying", "done \u2014 unplug", "done earlier \u2014 unplug", "failed",
};

std::string textOf(const FixedText<32>& field) { return utf8FromUtf16(field.view()); }

// A request that did not end done, in a few words.
std::string whyNot(const TrackerSession::Failure& failure) {
  switch (failure.kind) {
    case RequestOutcome::Refused:
      return "the tracker refused the settings";
    case RequestOutcome::NoReply:
      return "no reply from the tracker";
    case RequestOutcome::NotSent:
      return "not sent: the port did not take the request, or the tracker went away";
    case RequestOutcome::GivenUp:
      return "unplugged or stopped before the reply";
    default:
      return "the tracker's settings reply was " + failure.message + ", not loaded";
  }
}

}  // namespace

const char* stepWords(JobStep step) { return kStepWords[static_cast<std::size_t>(step)]; }

JobReport runProvisionJob(TrackerSession& session, int port, const JobPlan& plan, const JobHooks& hooks) {
  JobReport report;
  const auto enter = [&](JobStep step) {
    if (hooks.step) hooks.step(step);
  };
  const TrackerSession::GiveUp giveUp = [&] { return hooks.giveUp && hooks.giveUp(); };
  const auto fail = [&](std::string why) {
    report.failure = std::move(why);
    return report;
  };

  enter(JobStep::Handshake);
  if (const OpenStatus opened = session.open(port); !opened)
    return fail(std::string("the port cannot be opened (") + opened.error().message + ")");
  if (!session.waitForTracker(kFirstAnswerMs, giveUp))
    return fail(giveUp() ? "unplugged or stopped before it answered" : "no tracker answering");

  enter(JobStep::Reading);
  const Result<TrackerSession::TrackerSettings, RequestOutcome> read = session.read(giveUp);
  if (!read) return fail(whyNot(read.error()));
  SettingsCodec codec;
  SettingsModel model;
  codec.decodeSettingsBlock(read->image, model);
  report.imei = textOf(model.Imei);
  report.firmware = textOf(model.RomVersion);
  if (!report.imei.empty() && plan.doneEarlier->contains(report.imei)) {
    report.doneEarlier = true;
    return report;
  }

  SettingsResult<SettingsModel> wanted = laidOverRead(codec, plan.profile);
  if (!wanted) return fail(wanted.error().message);
  if (plan.values) {
    const SettingsDocument* own = plan.values->forImei(report.imei);
    if (own == nullptr)
      return fail("IMEI " + (report.imei.empty() ? std::string("(none)") : report.imei) + " not in " +
                  plan.valuesName + "; nothing written");
    if (const SettingsStatus laid = applySettings(*own, codec.imageLayout()->id, *wanted); !laid)
      return fail(laid.error().message);
  }
  report.changes = pendingChanges(codec, *wanted);
  if (report.changes.empty()) {
    report.verified = true;  // it holds what the profile says already
    return report;
  }
  if (giveUp()) return fail("unplugged or stopped before writing");

  // From here the job goes to its end: a write on its way is read back and verified.
  const TrackerWrite done =
      writeOverRead(session, codec, *wanted, {plan.history.get(), hooks.portName, "station", report.changes},
                    [&](WriteStep step) { enter(step == WriteStep::Writing ? JobStep::Writing : JobStep::Verifying); });
  report.written = done.written;
  report.beforeImage = done.beforeImage;
  switch (done.failure) {
    case WriteFailure::None:
      break;
    case WriteFailure::NotKept:
      return fail(done.detail + "; nothing written");
    case WriteFailure::NotSent:
      if (done.request.kind == RequestOutcome::NoReply)
        return fail("no reply to the write: the tracker may hold the new settings; plug it in again to check");
      return fail("write: " + whyNot(done.request));
    case WriteFailure::ReadBack:
      return fail("read-back: " + whyNot(done.request));
    case WriteFailure::BadReadBack:
      return fail("read-back: " + done.detail);
    case WriteFailure::NotVerified:
      return fail("not verified: the tracker holds other values in " + done.detail);
  }
  report.verified = true;
  return report;
}

}  // namespace pelmora::station
