#pragma once
// What happened to one tracker in one run of a command, and the two forms
// in which it is reported: one plain line as each tracker finishes, and a
// JSON Lines record for --report.

#include <string>
#include <vector>

#include "cli/exit_status.h"

namespace pelmora::cli {

struct TrackerOutcome {
  std::string port;      // as the user named it: "COM5", "/dev/ttyUSB0"
  std::string imei;      // empty when the tracker was never read
  std::string firmware;
  std::vector<std::string> changedFields;  // field names, as the settings files spell them
  bool written = false;
  bool verified = false;
  std::string failure;  // empty on success; otherwise what went wrong, in plain words
  ExitStatus status = kExitDone;
};

// "COM5  IMEI 861234567890123  firmware V2.1  3 fields changed  verified"
// "COM6  failed: no tracker answering"
std::string outcomeLine(const TrackerOutcome& outcome);

// One JSON object on one line, for a report file.
std::string outcomeJsonLine(const TrackerOutcome& outcome);

// The worst status of all outcomes: 0 only when every tracker succeeded.
ExitStatus combinedStatus(const std::vector<TrackerOutcome>& outcomes);

}  // namespace pelmora::cli
