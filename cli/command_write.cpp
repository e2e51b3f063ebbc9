// pelmora-cli write PORT FILE: one tracker, the file laid over its settings,
// written, read back and verified.

#include <cstdio>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"

namespace pelmora::cli {

int runWrite(const CommonOptions& common, const std::string& port, const std::string& file, bool dryRun) {
  RunSupport run(common);
  if (!run.openTrace()) return kExitBadInput;
  // Everything the user gave is checked before the tracker is touched.
  const std::optional<SettingsDocument> document = run.loadFile(file);
  if (!document) return kExitBadInput;
  const std::optional<PortTarget> target = run.resolvePort(port);
  if (!target) return kExitBadInput;

  ProgressBoard board({target->name}, run.progressMode());
  JobHooks hooks = run.hooks(board, 0);
  hooks.changes = [&](const std::vector<FieldChange>& changes) {
    if (changes.empty()) board.print(target->name + ": no changes");
    for (const FieldChange& change : changes) board.print(describeChange(change));
  };
  TrackerJob job(*target, hooks);
  const TrackerOutcome outcome = job.provision(*document, dryRun);
  board.finish(0, outcomeLine(outcome));
  return outcome.status;
}

}  // namespace pelmora::cli
