// pelmora-cli read PORT -o FILE: a tracker's settings into a file.

#include <cstdio>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/shown_text.h"

namespace pelmora::cli {

int runRead(const CommonOptions& common, const ReadOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  SettingsDocument document;
  TrackerOutcome outcome;
  if (const CliStatus read = run.readTracker(options.port, document, &outcome); !read) return reportFailure(read.error());
  if (options.output == "-") {
    std::printf("%s", settingsJson(document).c_str());  // main checks that standard output took it
    return kExitDone;
  }
  // The tracker was read, but a copy that cannot be written is lost: a failure, not bad input.
  if (const SettingsStatus saved = saveSettingsFile(options.output, document); !saved)
    return reportFailure(cliError(saved.error()));
  if (!common.quiet)
    std::fprintf(stderr, "%s  saved to %s\n", outcomeLine(outcome).c_str(), shown(options.output).c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
