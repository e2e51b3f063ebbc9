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
#include "settings/history_archive.h"

namespace pelmora::cli {

// Prints the failure's message on standard error; its exit status.
ExitStatus reportFailure(const CliError& error);

class RunSupport {
 public:
  explicit RunSupport(const CommonOptions& common);

  // Opens --trace FILE; kExitBadInput when it cannot be written.
  CliStatus openTrace();
  // The status of a command that worked on trackers: their combined
  // status, or after an interrupt where each tracker stands and 130. (A
  // trace that lost lines is said when it closes; main then exits 1.)
  int jobsStatus(const std::vector<TrackerOutcome>& outcomes, const InterruptCatcher& interrupts) const;
  // The target, or kExitBadInput (resolvePortTarget). `earlier`: the
  // targets resolved before for the same command.
  CliResult<PortTarget> resolvePort(const std::string& name, std::span<const PortTarget> earlier = {});
  // Every port of the map (--all, scan).
  std::vector<PortTarget> allPorts() const;
  // Why those may not be the ports the user means (portMapProblem); none when they are.
  const std::optional<SettingsError>& portMapProblem() const { return portMapProblem_; }

  // The trace opened by openTrace(), nullptr without one.
  TraceSink* trace() const { return trace_.get(); }
  bool checkReplyChecksum() const { return checkReplyChecksum_; }
  // Where the settings read are kept before each write (the user's data
  // folder, bounded by [History] Keep).
  const HistoryArchive& history() const { return history_; }

  // Where progress and results go: terminals or not, --quiet.
  ProgressMode progressMode() const;
  // With `interrupts`, the job stops starting requests once one came.
  JobHooks hooks(ProgressBoard& board, std::size_t row, const InterruptCatcher* interrupts = nullptr) const;

  // The settings file, image or profile at `path`, or why not
  // (kExitBadInput, as exitStatusFor says of loadSettingsFile's kinds).
  CliResult<SettingsDocument> loadFile(const std::string& path) const;

  // Reads the tracker on `port` (a name the user gave) into `document`,
  // with progress; otherwise "<port>: <what went wrong>" with the
  // tracker's exit status (TrackerOutcome::failure), or kExitBadInput for
  // a port that is no port.
  CliStatus readTracker(const std::string& port, SettingsDocument& document, TrackerOutcome* outcome = nullptr);

 private:
  CommonOptions common_;
  PortsGroup group_;
  bool checkReplyChecksum_ = true;
  std::optional<SettingsError> portMapProblem_;
  std::unique_ptr<TraceFile> trace_;
  HistoryArchive history_{defaultHistoryFolder()};
};

}  // namespace pelmora::cli
