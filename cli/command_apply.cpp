// pelmora-cli apply PROFILE PORT... : one profile to many trackers at once,
// each on its own thread with its own session; one line per tracker as it
// finishes, and a JSON line per tracker in the report.

#include <cstdio>
#include <mutex>
#include <thread>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "cli/tracker_job.h"
#include "link/port_map.h"

namespace pelmora::cli {

int runApply(const CommonOptions& common, const std::string& profile, const std::vector<std::string>& ports,
             bool allPorts, const std::string& reportFile, bool dryRun) {
  RunSupport run(common);
  if (!run.openTrace()) return kExitBadInput;
  // Everything the user gave is checked before any tracker is touched.
  const std::optional<SettingsDocument> document = run.loadFile(profile);
  if (!document) return kExitBadInput;
  std::vector<PortTarget> targets;
  if (allPorts) {
    if (!run.portMapProblem().empty()) {
      std::fprintf(stderr, "--all refused: the port map could not be read (%s)\n", run.portMapProblem().c_str());
      return kExitBadInput;
    }
    targets = run.allPorts();
    if (targets.empty()) {
      std::fprintf(stderr, "no ports in the port map (see pelmora-cli ports)\n");
      return kExitBadInput;
    }
  }
  for (const std::string& name : ports) {
    std::optional<PortTarget> target = run.resolvePort(name);
    if (!target) return kExitBadInput;
    for (const PortTarget& earlier : targets) {
      if (earlier.number == target->number) {
        std::fprintf(stderr, "%s: named twice (also as %s)\n", name.c_str(), earlier.name.c_str());
        return kExitBadInput;
      }
    }
    targets.push_back(std::move(*target));
  }
  if (const std::vector<std::string> own = oneTrackerFields(*document); targets.size() > 1 && !own.empty()) {
    std::fprintf(stderr, "%s: %s belongs to one tracker only and cannot go to %zu trackers\n", profile.c_str(),
                 own.front().c_str(), targets.size());
    return kExitBadInput;
  }
  std::FILE* report = nullptr;
  if (!reportFile.empty() && (report = std::fopen(reportFile.c_str(), "w")) == nullptr) {
    std::fprintf(stderr, "%s: cannot write the report there\n", reportFile.c_str());
    return kExitBadInput;
  }

  std::vector<std::string> names;
  for (const PortTarget& target : targets) names.push_back(target.name);
  ProgressBoard board(names, run.progressMode());
  std::vector<TrackerOutcome> outcomes(targets.size());
  std::mutex reportLock;  // one tracker's lines at a time, in the same order on standard output and in the report
  {
    std::vector<std::jthread> workers;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      workers.emplace_back([&, i] {
        TrackerJob job(targets[i], run.hooks(board, i));
        outcomes[i] = job.provision(*document, dryRun);
        const std::lock_guard<std::mutex> hold(reportLock);
        board.finish(i, outcomeLine(outcomes[i]));
        if (report != nullptr) {
          std::fprintf(report, "%s\n", outcomeJsonLine(outcomes[i]).c_str());
          std::fflush(report);
        }
      });
    }
  }
  if (report != nullptr && std::fclose(report) != 0) {
    std::fprintf(stderr, "%s: the report could not be written whole\n", reportFile.c_str());
    return kExitBadInput;
  }
  return combinedStatus(outcomes);
}

}  // namespace pelmora::cli
