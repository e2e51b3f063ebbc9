// pelmora-cli read PORT -o FILE: a tracker's settings into a file.

#include <cstdio>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/shown_text.h"

namespace pelmora::cli {

int runRead(const CommonOptions& common, const ReadOptions& options) {
  RunSupport run(common);
  if (!run.openTrace()) return kExitBadInput;
  SettingsDocument document;
  TrackerOutcome outcome;
  if (const std::optional<ExitStatus> failed = run.readTracker(options.port, document, &outcome)) return *failed;
  if (options.output == "-") {
    std::printf("%s", settingsJson(document).c_str());  // main checks that standard output took it
    return kExitDone;
  }
  if (const std::optional<SettingsError> error = saveSettingsFile(options.output, document)) {
    // The tracker was read, but its copy is lost: a failure, not bad input.
    std::fprintf(stderr, "%s\n", error->message.c_str());
    return kExitTrackerFailed;
  }
  if (!common.quiet)
    std::fprintf(stderr, "%s  saved to %s\n", outcomeLine(outcome).c_str(), shown(options.output).c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
