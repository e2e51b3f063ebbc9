// pelmora-cli read PORT -o FILE: a tracker's settings into a file.

#include <cstdio>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"

namespace pelmora::cli {

int runRead(const CommonOptions& common, const std::string& port, const std::string& output) {
  RunSupport run(common);
  if (!run.openTrace()) return kExitBadInput;
  SettingsDocument document;
  TrackerOutcome outcome;
  if (const std::optional<ExitStatus> failed = run.readTracker(port, document, &outcome)) return *failed;
  if (output == "-") {
    std::printf("%s", settingsJson(document).c_str());
    return kExitDone;
  }
  if (const std::optional<SettingsError> error = saveSettingsFile(output, document)) {
    std::fprintf(stderr, "%s\n", error->message.c_str());
    return kExitBadInput;
  }
  if (!common.quiet) std::fprintf(stderr, "%s  saved to %s\n", outcomeLine(outcome).c_str(), output.c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
