// pelmora-cli write PORT FILE: one tracker, the file laid over its settings,
// written, read back and verified.

#include <cstdio>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/shown_text.h"
#include "settings/settings_diff.h"

namespace pelmora::cli {

int runWrite(const CommonOptions& common, const WriteOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  // Everything the user gave is checked before the tracker is touched.
  if (argumentsSwapped(options.port, options.file)) {
    std::fprintf(stderr, "%s is a file and %s a port: arguments swapped? usage: pelmora-cli write PORT FILE\n",
                 shown(options.port).c_str(), shown(options.file).c_str());
    return kExitBadInput;
  }
  const CliResult<SettingsDocument> document = run.loadFile(options.file);
  if (!document) return reportFailure(document.error());
  const CliResult<PortTarget> target = run.resolvePort(options.port);
  if (!target) return reportFailure(target.error());

  ProgressBoard board({shown(target->name)}, run.progressMode());
  const InterruptCatcher interrupts([&board] { board.note(kInterruptNote); });
  std::vector<TrackerOutcome> outcomes(1);
  {
    JobHooks hooks = run.hooks(board, 0, &interrupts);
    hooks.changes = [&](const std::vector<FieldChange>& changes) {
      if (changes.empty()) board.print(shown(target->name) + ": no changes");
      for (const FieldChange& change : changes) board.print(changeInWords(change));
    };
    hooks.acceptOtherTrackerId = options.yes;
    TrackerJob job(*target, hooks);
    outcomes[0] = job.provision(*document, options.dryRun);
  }  // the job's engine has ended: nothing traces any more
  board.finish(0, outcomeLine(outcomes[0]));
  return run.jobsStatus(outcomes, interrupts);
}

}  // namespace pelmora::cli
