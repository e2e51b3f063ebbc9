#include "cli/tracker_outcome.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "link/shown_text.h"

namespace pelmora::cli {

std::string outcomeLine(const TrackerOutcome& outcome) {
  std::string line = shown(outcome.port);
  if (!outcome.imei.empty()) line += "  IMEI " + outcome.imei;
  if (!outcome.firmware.empty()) line += "  firmware " + outcome.firmware;
  if (outcome.written || !outcome.changedFields.empty()) {
    const std::size_t n = outcome.changedFields.size();
    line += "  " + std::to_string(n) + (n == 1 ? " field changed" : " fields changed");
  }
  if (outcome.interrupted) {
    line += "  " + outcome.failure->message;
  } else if (outcome.failure) {
    line += "  failed: " + outcome.failure->message;
  } else if (outcome.verified) {
    line += "  verified";
  }
  return line;
}

std::string standing(const TrackerOutcome& outcome) {
  if (outcome.writeUnanswered) return "unknown: the write got no reply";
  if (outcome.written) return outcome.verified ? "written and verified" : "written, not verified";
  if (outcome.interrupted) return "interrupted before writing";
  return outcome.verified ? "unchanged: it holds these settings already" : "not written";
}

std::string outcomeJsonLine(const TrackerOutcome& outcome) {
  nlohmann::ordered_json record;
  record["port"] = outcome.port;
  record["imei"] = outcome.imei;
  record["firmware"] = outcome.firmware;
  record["changed"] = outcome.changedFields;
  record["written"] = outcome.writeUnanswered ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(outcome.written);
  record["verified"] = outcome.verified;
  record["ok"] = !outcome.failure;
  record["state"] = standing(outcome);
  if (!outcome.beforeImage.empty()) record["beforeImage"] = outcome.beforeImage;
  if (outcome.failure) record["failure"] = outcome.failure->message;
  // Invalid UTF-8 in a tracker's text must not end the report.
  return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

ExitStatus combinedStatus(const std::vector<TrackerOutcome>& outcomes) {
  ExitStatus worst = kExitDone;
  bool touched = false;  // a tracker was written, or may have been
  for (const TrackerOutcome& outcome : outcomes) {
    worst = std::max(worst, outcome.status());
    touched = touched || outcome.written || outcome.writeUnanswered;
  }
  if (worst == kExitBadInput && touched) return kExitTrackerFailed;
  return worst;
}

}  // namespace pelmora::cli
