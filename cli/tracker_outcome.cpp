#include "cli/tracker_outcome.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace pelmora::cli {

std::string outcomeLine(const TrackerOutcome& outcome) {
  std::string line = outcome.port;
  if (!outcome.imei.empty()) line += "  IMEI " + outcome.imei;
  if (!outcome.firmware.empty()) line += "  firmware " + outcome.firmware;
  if (outcome.written || !outcome.changedFields.empty()) {
    const std::size_t n = outcome.changedFields.size();
    line += "  " + std::to_string(n) + (n == 1 ? " field changed" : " fields changed");
  }
  if (!outcome.failure.empty()) {
    line += "  failed: " + outcome.failure;
  } else if (outcome.verified) {
    line += "  verified";
  }
  return line;
}

std::string outcomeJsonLine(const TrackerOutcome& outcome) {
  nlohmann::ordered_json record;
  record["port"] = outcome.port;
  record["imei"] = outcome.imei;
  record["firmware"] = outcome.firmware;
  record["changed"] = outcome.changedFields;
  record["written"] = outcome.written;
  record["verified"] = outcome.verified;
  record["ok"] = outcome.failure.empty();
  if (!outcome.failure.empty()) record["failure"] = outcome.failure;
  // Invalid UTF-8 in a tracker's text must not end the report.
  return record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

ExitStatus combinedStatus(const std::vector<TrackerOutcome>& outcomes) {
  ExitStatus worst = kExitDone;
  for (const TrackerOutcome& outcome : outcomes) worst = std::max(worst, outcome.status);
  return worst;
}

}  // namespace pelmora::cli
