// pelmora-cli station PROFILE: a provisioning station on the terminal. Each
// tracker plugged into one of the station's ports is read, written with the
// profile (and its own values), read back, verified and recorded; the next
// one is taken once it has been unplugged. Ctrl-C lets writes on the line
// finish, be verified and recorded, then stops.

#include <cstdio>
#include <filesystem>
#include <map>

#include "cli/commands.h"
#include "cli/interrupt_catcher.h"
#include "cli/run_support.h"
#include "link/port_discovery.h"
#include "link/port_watch.h"
#include "link/shown_text.h"
#include "link/stream_output.h"
#include "link/system_serial_port.h"
#include "settings/atomic_file.h"
#include "settings/sha256.h"
#include "station/station.h"
#include "station/thread_job_launcher.h"

namespace pelmora::cli {
namespace {

using namespace pelmora::station;

constexpr std::size_t kMaxProfileBytes = 1 << 20;

// The station's ports that have a device behind them now, each with its
// adapter's words (looked up once, when it appears); the station waits for
// them to change on the system's events where it has them (link/port_watch.h).
class TargetPresence final : public PortPresence {
 public:
  explicit TargetPresence(std::vector<PortTarget> targets)
      : targets_(std::move(targets)), watch_(makePortWatch(devicePaths(targets_))) {}

  void waitForChange(Wakeup& wake) override { watch_->wait(wake, watch_->lookAgainMs()); }

  std::vector<PresentPort> present() override {
    std::vector<PresentPort> ports;
    for (const PortTarget& target : targets_) {
      if (!targetPresent(target)) {
        adapters_.erase(target.number);
        continue;
      }
      auto [known, added] = adapters_.try_emplace(target.number);
      if (added) known->second = adapterOf(target);
      ports.push_back({target.number, target.name, known->second});
    }
    return ports;
  }

 private:
  static std::vector<std::string> devicePaths(const std::vector<PortTarget>& targets) {
    std::vector<std::string> paths;
    for (const PortTarget& target : targets)
      if (const std::optional<PortMapping> mapping = findPortMapping(target.map, target.number))
        paths.push_back(mapping->devicePath);
    return paths;
  }

  static std::string adapterOf(const PortTarget& target) {
    const std::optional<PortMapping> mapping = findPortMapping(target.map, target.number);
    if (!mapping) return {};
    const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
    return portLabel(discovery->describe(mapping->devicePath));
  }

  std::vector<PortTarget> targets_;
  std::unique_ptr<PortWatch> watch_;
  std::map<int, std::string> adapters_;
};

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

// What the record says was verified with this profile already.
CliResult<std::shared_ptr<VerifiedImeis>> doneEarlier(const StationOptions& options, const std::string& sha256) {
  auto verified = std::make_shared<VerifiedImeis>();
  std::error_code ignored;
  if (options.again || !std::filesystem::exists(options.recordFile, ignored)) return verified;
  const SettingsResult<std::vector<std::uint8_t>> text = readRegularFile(options.recordFile, 64u << 20, "record");
  if (!text) return cliError(text.error());
  std::size_t skipped = 0;
  verified = std::make_shared<VerifiedImeis>(verifiedWith(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()), sha256, &skipped));
  if (skipped != 0)
    std::fprintf(stderr, "%s: %zu line(s) not a whole entry, skipped\n", shown(options.recordFile).c_str(), skipped);
  return verified;
}

}  // namespace

int runStation(const CommonOptions& common, const StationOptions& options) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());

  JobPlan plan;
  CliResult<SettingsDocument> profile = run.loadFile(options.profile);
  if (!profile) return reportFailure(profile.error());
  if (const std::vector<std::string> own = oneTrackerFields(*profile); !own.empty())
    return reportFailure({kExitBadInput, shown(options.profile) + ": " + own.front() +
                                             " belongs to one tracker; give each tracker its own with --values"});
  const SettingsResult<std::vector<std::uint8_t>> bytes =
      readRegularFile(options.profile, kMaxProfileBytes, "settings file");
  if (!bytes) return reportFailure(cliError(bytes.error()));
  plan.profile = std::move(*profile);
  plan.profileName = options.profile;
  plan.profileSha256 = sha256Hex(*bytes);
  if (!options.valuesFile.empty()) {
    SettingsResult<ValuesFile> values = ValuesFile::load(options.valuesFile);
    if (!values) return reportFailure(cliError(values.error()));
    plan.values = std::move(*values);
    plan.valuesName = options.valuesFile;
  }
  CliResult<std::shared_ptr<VerifiedImeis>> earlier = doneEarlier(options, plan.profileSha256);
  if (!earlier) return reportFailure(earlier.error());
  plan.doneEarlier = std::move(*earlier);

  CliResult<std::vector<PortTarget>> targets = stationPorts(run, options);
  if (!targets) return reportFailure(targets.error());
  OutputResult<StreamOutput> record = StreamOutput::open(options.recordFile, "ab", "record");
  if (!record) return reportFailure({kExitBadInput, record.error().message});
  std::unique_ptr<StreamOutput> csv;
  if (!options.csvFile.empty()) {
    std::error_code ignored;
    const bool fresh = std::filesystem::file_size(options.csvFile, ignored) == 0 || ignored;
    OutputResult<StreamOutput> opened = StreamOutput::open(options.csvFile, "ab", "CSV summary");
    if (!opened) return reportFailure({kExitBadInput, opened.error().message});
    csv = std::move(*opened);
    if (fresh) csv->writeLine(kCsvHeader);
  }

  std::vector<std::string> names;
  std::map<int, std::size_t> rows;
  for (const PortTarget& target : *targets) {
    rows[target.number] = names.size();
    names.push_back(shown(target.name));
  }
  ProgressBoard board(names, run.progressMode());
  for (std::size_t row = 0; row < names.size(); ++row) board.update(row, "waiting", 0);

  std::map<int, PortMapConfig> portMaps;
  for (const PortTarget& target : *targets) portMaps[target.number] = target.map;
  ThreadJobLauncher launcher([&portMaps](int number) { return makeSystemSerialPort(portMaps.at(number)); },
                             run.trace(), EngineOptions{run.checkReplyChecksum()});
  TargetPresence presence(*targets);
  BoardListener listener(board, rows);
  SystemClock clock;
  std::size_t ended = 0;
  bool anyFailed = false;
  Station station(std::move(plan), presence, launcher, clock, listener, [&](const RecordEntry& entry) {
    ++ended;
    anyFailed = anyFailed || !entry.verified;
    const bool kept = (*record)->writeLine(recordLine(entry));
    return (csv == nullptr || csv->writeLine(csvLine(entry))) && kept;
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
  const bool recordWhole = (*record)->close() && (csv == nullptr || csv->close());
  if (station.recordLost() || !recordWhole) return kExitTrackerFailed;
  return anyFailed ? kExitTrackerFailed : kExitDone;
}

}  // namespace pelmora::cli
