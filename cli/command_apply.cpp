// pelmora-cli apply PROFILE PORT... : one profile to many trackers at once,
// each on its own thread with its own session; one line per tracker as it
// finishes, and a JSON line per tracker in the report.

#include <cstdio>
#include <mutex>
#include <thread>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/port_map.h"
#include "link/shown_text.h"
#include "link/stream_output.h"
#include "settings/settings_diff.h"

namespace pelmora::cli {

int runApply(const CommonOptions& common, const ApplyOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  // Everything the user gave is checked before any tracker is touched.
  for (const std::string& port : options.ports) {
    if (argumentsSwapped(port, options.profile)) {
      std::fprintf(stderr, "%s is a file and %s a port: arguments swapped? usage: pelmora-cli apply PROFILE PORT...\n",
                   shown(port).c_str(), shown(options.profile).c_str());
      return kExitBadInput;
    }
  }
  const CliResult<SettingsDocument> document = run.loadFile(options.profile);
  if (!document) return reportFailure(document.error());
  std::vector<PortTarget> targets;
  if (options.allPorts) {
    if (const std::optional<SettingsError>& problem = run.portMapProblem()) {
      std::fprintf(stderr, "--all refused: the port map could not be read (%s)\n", problem->message.c_str());
      return kExitBadInput;
    }
    targets = run.allPorts();
    if (targets.empty()) {
      std::fprintf(stderr, "no ports in the port map (see pelmora-cli ports)\n");
      return kExitBadInput;
    }
  }
  for (const std::string& name : options.ports) {
    CliResult<PortTarget> target = run.resolvePort(name, targets);
    if (!target) return reportFailure(target.error());
    for (const PortTarget& earlier : targets) {
      if (sameTarget(earlier, *target)) {
        std::fprintf(stderr, "%s: named twice (also as %s)\n", shown(name).c_str(), shown(earlier.name).c_str());
        return kExitBadInput;
      }
    }
    targets.push_back(std::move(*target));
  }
  if (const std::vector<std::string> own = oneTrackerFields(*document); targets.size() > 1 && !own.empty()) {
    std::fprintf(stderr, "%s: %s belongs to one tracker only and cannot go to %zu trackers\n",
                 shown(options.profile).c_str(), own.front().c_str(), targets.size());
    return kExitBadInput;
  }
  std::unique_ptr<StreamOutput> report;
  if (!options.reportFile.empty()) {
    OutputResult<StreamOutput> opened = StreamOutput::open(options.reportFile, "w", "report");
    if (!opened) return reportFailure(CliError{kExitBadInput, opened.error().message});
    report = std::move(*opened);
  }

  std::vector<std::string> names;
  for (const PortTarget& target : targets) names.push_back(shown(target.name));
  ProgressBoard board(names, run.progressMode());
  const InterruptCatcher interrupts([&board] { board.note(kInterruptNote); });
  std::vector<TrackerOutcome> outcomes(targets.size());
  std::vector<std::vector<FieldChange>> dryRunChanges(targets.size());  // each job writes its own row only
  std::mutex reportLock;  // one tracker's lines at a time, in the same order on standard output and in the report
  {
    std::vector<std::jthread> workers;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      workers.emplace_back([&, i] {
        JobHooks hooks = run.hooks(board, i, &interrupts);
        hooks.acceptOtherTrackerId = options.yes;
        if (options.dryRun) hooks.changes = [&, i](const std::vector<FieldChange>& changes) { dryRunChanges[i] = changes; };
        TrackerJob job(targets[i], hooks);
        outcomes[i] = job.provision(*document, options.dryRun);
        const std::lock_guard<std::mutex> hold(reportLock);
        board.finish(i, outcomeLine(outcomes[i]));
        // A dry run says what each tracker would get, under its line.
        for (const FieldChange& change : dryRunChanges[i]) board.print("  " + changeInWords(change));
        if (report) report->writeLine(outcomeJsonLine(outcomes[i]));
      });
    }
  }
  // A lost report is said once every tracker is done; main then exits 1.
  if (report) report->close();
  return run.jobsStatus(outcomes, interrupts);
}

}  // namespace pelmora::cli
