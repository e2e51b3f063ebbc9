#pragma once
// What every command that talks to trackers sets up the same way: the
// user's port map, the trace, progress on standard error, and the hooks a
// tracker job reports through.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/port_target.h"
#include "cli/progress_board.h"
#include "cli/tracker_job.h"
#include "link/trace_file.h"

namespace pelmora::cli {

class RunSupport {
 public:
  explicit RunSupport(const CommonOptions& common);

  // Opens --trace FILE; false after printing why (exit 2).
  bool openTrace();
  // The status of a command that worked on trackers: their combined
  // status, or after an interrupt where each tracker stands and 130. (A
  // trace that lost lines is said when it closes; main then exits 1.)
  int jobsStatus(const std::vector<TrackerOutcome>& outcomes, const InterruptCatcher& interrupts) const;
  // The target, or nullopt after printing why (exit 2). `earlier`: the
  // targets resolved before for the same command.
  std::optional<PortTarget> resolvePort(const std::string& name, std::span<const PortTarget> earlier = {});
  // Every port of the map (--all, scan).
  std::vector<PortTarget> allPorts() const;
  // Why those may not be the ports the user means (portMapProblem); "" when they are.
  const std::string& portMapProblem() const { return portMapProblem_; }

  // Where progress and results go: terminals or not, --quiet.
  ProgressMode progressMode() const;
  // With `interrupts`, the job stops starting requests once one came.
  JobHooks hooks(ProgressBoard& board, std::size_t row, const InterruptCatcher* interrupts = nullptr) const;

  // The settings file, image or profile at `path`; otherwise prints why
  // (exit 2).
  std::optional<SettingsDocument> loadFile(const std::string& path) const;

  // Reads the tracker on `port` (a name the user gave) into `document`,
  // with progress; otherwise prints why and returns the exit status.
  std::optional<ExitStatus> readTracker(const std::string& port, SettingsDocument& document,
                                        TrackerOutcome* outcome = nullptr);

 private:
  CommonOptions common_;
  PortsGroup group_;
  bool checkReplyChecksum_ = true;
  std::string portMapProblem_;
  std::unique_ptr<TraceFile> trace_;
};

}  // namespace pelmora::cli
