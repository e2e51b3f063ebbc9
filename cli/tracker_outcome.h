#pragma once
// What happened to one tracker in one run of a command, and the two forms
// in which it is reported: one plain line as each tracker finishes, and a
// JSON Lines record for --report.

#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"

namespace pelmora::cli {

struct TrackerOutcome {
  std::string port;      // as the user named it: "COM5", "/dev/ttyUSB0"
  std::string imei;      // empty when the tracker was never read
  std::string firmware;
  std::vector<std::string> changedFields;  // field names, as the settings files spell them
  bool written = false;         // the tracker acknowledged a write
  bool writeUnanswered = false;  // a write went out and no reply came: the tracker may hold it
  bool verified = false;
  bool interrupted = false;  // an interrupt stopped the job before it wrote
  std::string beforeImage;   // where the settings read before the write are kept; "" when nothing was
  // None on success; otherwise what went wrong, in plain words, and the
  // exit status it leads to: kExitBadInput (the port could not be opened,
  // the document does not fit the tracker, a whole file from another
  // tracker without --yes), kExitTrackerFailed (no answer, refused, not
  // verified) or kExitInterrupted.
  std::optional<CliError> failure;

  ExitStatus status() const { return failure ? failure->kind : kExitDone; }
};

// "COM5  IMEI 861234567890123  firmware V2.1  3 fields changed  verified"
// "COM6  failed: no tracker answering"
std::string outcomeLine(const TrackerOutcome& outcome);

// Where the tracker stands now, in a few words: "written and verified",
// "interrupted before writing", "not written", ...
std::string standing(const TrackerOutcome& outcome);

// One JSON object on one line, for a report file. "written" is null when a
// write got no reply; "state" is standing().
std::string outcomeJsonLine(const TrackerOutcome& outcome);

// The status of a command over many trackers: 130 after an interrupt; 0
// when every tracker succeeded; 2 only when input was refused and no
// tracker was written (or may have been); 1 otherwise.
ExitStatus combinedStatus(const std::vector<TrackerOutcome>& outcomes);

}  // namespace pelmora::cli
