// pelmora-cli station PROFILE: a provisioning station on the terminal. Each
// tracker plugged into one of the station's ports is read, written with the
// profile (and its own values), read back, verified and recorded; the next
// one is taken once it has been unplugged. Ctrl-C lets writes on the line
// finish, be verified and recorded, then stops.

#include <cstdio>
#include <map>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/run_support.h"
#include "link/shown_text.h"
#include "link/stream_output.h"
#include "station/station.h"
#include "station/station_assembly.h"

namespace pelmora::cli {
namespace {

using namespace pelmora::station;

// Each port's line on the board, the results on standard output.
class BoardListener final : public StationListener {
 public:
  BoardListener(ProgressBoard& board, std::map<int, std::size_t> rows) : board_(board), rows_(std::move(rows)) {}

  void portChanged(const PortState& state) override {
    std::string line = stepWords(state.step);
    if (!state.imei.empty()) line += "  IMEI " + state.imei;
    if (!state.failure.empty()) line += ": " + state.failure;
    board_.update(rows_.at(state.port.number), line, 0);
    if (state.step == JobStep::Done || state.step == JobStep::Failed || state.step == JobStep::DoneEarlier)
      board_.print(shown(state.port.name) + "  " + line);
  }
  void portGone(const PresentPort& port) override { board_.update(rows_.at(port.number), "waiting", 0); }
  void totalsChanged(const StationTotals& t) override {
    board_.note("done " + std::to_string(t.done) + ", failed " + std::to_string(t.failed) + ", done earlier " +
                std::to_string(t.doneEarlier) + ", this hour " + std::to_string(t.doneThisHour));
  }

 private:
  ProgressBoard& board_;
  std::map<int, std::size_t> rows_;
};

// The station's ports: those named, or else the port map's own entries; a
// station never takes every serial device there is.
CliResult<std::vector<PortTarget>> stationPorts(RunSupport& run, const StationOptions& options) {
  std::vector<PortTarget> targets;
  if (!options.ports.empty()) {
    for (const std::string& name : options.ports) {
      CliResult<PortTarget> target = run.resolvePort(name, targets);
      if (!target) return target.error();
      targets.push_back(std::move(*target));
    }
    return targets;
  }
  for (PortTarget& target : run.allPorts()) {
    const std::optional<PortMapping> mapping = findPortMapping(target.map, target.number);
    if (mapping && mapping->explicitEntry) targets.push_back(std::move(target));
  }
  if (targets.empty())
    return CliError{kExitBadInput,
                    "no station ports: name them with --ports, or as [Ports] entries of the port map (a station "
                    "never takes every serial device there is)"};
  return targets;
}

}  // namespace

int runStation(const CommonOptions& common, const StationOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());

  std::size_t skipped = 0;
  SettingsResult<JobPlan> plan = loadStationPlan(
      {options.profile, options.valuesFile, options.recordFile, options.again, "with --values"}, &skipped);
  if (!plan) return reportFailure(cliError(plan.error()));
  if (skipped != 0)
    std::fprintf(stderr, "%s: %zu line(s) not a whole entry, skipped\n", shown(options.recordFile).c_str(), skipped);
  plan->history = std::make_shared<const HistoryArchive>(run.history());

  CliResult<std::vector<PortTarget>> targets = stationPorts(run, options);
  if (!targets) return reportFailure(targets.error());
  OutputResult<StationRecordFiles> record = StationRecordFiles::open(options.recordFile, options.csvFile);
  if (!record) return reportFailure({kExitBadInput, record.error().message});

  std::vector<std::string> names;
  std::map<int, std::size_t> rows;
  for (const PortTarget& target : *targets) {
    rows[target.number] = names.size();
    names.push_back(shown(target.name));
  }
  ProgressBoard board(names, run.progressMode());
  for (std::size_t row = 0; row < names.size(); ++row) board.update(row, "waiting", 0);

  std::vector<StationPort> ports;
  for (const PortTarget& target : *targets) ports.push_back({target.name, target.number, target.map});
  const std::unique_ptr<JobLauncher> launcher =
      makeStationLauncher(ports, run.trace(), EngineOptions{run.checkReplyChecksum()});
  StationPortPresence presence(ports);
  BoardListener listener(board, rows);
  SystemClock clock;
  std::size_t ended = 0;
  bool anyFailed = false;
  Station station(std::move(*plan), presence, *launcher, clock, listener, [&](const RecordEntry& entry) {
    ++ended;
    anyFailed = anyFailed || !entry.verified;
    return (*record)->keep(entry);
  });
  // After the station, which it wakes, and before the first job's thread
  // (none starts before the first tick), which then inherits the blocked signals.
  const InterruptCatcher interrupts([&board, &station] {
    board.note(kInterruptNote);
    station.wake();
  });
  for (bool stopping = false;;) {
    station.tick();
    if (!stopping && (interrupts.requested() || station.recordLost() || (options.count != 0 && ended >= options.count))) {
      station.stop();
      stopping = true;
    }
    if (stopping && !station.busy()) break;
    station.wait();
  }
  station.tick();
  const StationTotals& totals = station.totals();
  std::printf("station: %zu done, %zu failed, %zu done earlier; record %s\n", totals.done, totals.failed,
              totals.doneEarlier, shown(options.recordFile).c_str());
  const bool recordWhole = (*record)->close();
  if (station.recordLost() || !recordWhole) return kExitTrackerFailed;
  return anyFailed ? kExitTrackerFailed : kExitDone;
}

}  // namespace pelmora::cli
