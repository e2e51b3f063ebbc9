#pragma once
// What a station runs on, put together the same way for every front (the
// terminal's `pelmora-cli station` and the window's station): the plan every
// job lays over its tracker, the record files, the presence of the station's
// ports and the launcher that runs a job on each.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/link_engine.h"
#include "link/port_map.h"
#include "link/port_watch.h"
#include "link/stream_output.h"
#include "link/trace.h"
#include "settings/settings_error.h"
#include "station/station.h"

namespace pelmora::station {

// The files a station's plan is read from.
struct PlanFiles {
  std::string profile;
  std::string values;  // each tracker's own values; "" for none
  std::string record;  // read for what was done earlier
  bool again = false;  // write trackers the record has verified with this profile too
  // How the front lets each tracker have its own values, for the message
  // that refuses a profile naming one: "with --values".
  std::string valuesHint;
};

// The plan, or why not: BadInput for a profile naming one tracker's field
// ("fleet.json: TrackerId belongs to one tracker; give each tracker its own
// with --values"), else the kinds loadSettingsFile, ValuesFile::load and
// readRegularFile return. `skippedRecordLines` counts the record's lines
// that are not a whole entry (cut by a crash), which are skipped.
SettingsResult<JobPlan> loadStationPlan(const PlanFiles& files, std::size_t* skippedRecordLines);

// The record (and, where named, the CSV summary), appended to: each job's
// entry as a line of each, flushed as the job ends.
class StationRecordFiles {
 public:
  // Unwritable (naming the file) when either cannot be opened. A CSV
  // summary that is new or empty gets its header first.
  static OutputResult<StationRecordFiles> open(const std::string& record, const std::string& csv);
  // The entry in every file; false when a line was lost.
  bool keep(const RecordEntry& entry);
  // Closes them; false when anything was lost.
  bool close();

 private:
  StationRecordFiles() = default;
  std::unique_ptr<StreamOutput> record_;
  std::unique_ptr<StreamOutput> csv_;  // none without a CSV summary
};

// A port of the station: as the user names it, its number and the map
// that gives the number its device.
struct StationPort {
  std::string name;
  int number = 0;
  PortMapConfig map;
};

// The port map's own [Ports] entries (a station never takes every serial
// device there is): none when the map has none.
std::vector<StationPort> mappedStationPorts(const PortMapConfig& map);

// The device behind `port` is there now: on Linux its mapped path exists (a
// /dev/serial/by-id link appears when its adapter is plugged); on Windows
// its COM port is listed.
bool stationPortPresent(const StationPort& port);

// The station's ports that have a device behind them now, each with its
// adapter's words (looked up once, when it appears); the station waits for
// them to change on the system's events where it has them (link/port_watch.h).
class StationPortPresence final : public PortPresence {
 public:
  explicit StationPortPresence(std::vector<StationPort> ports);
  std::vector<PresentPort> present() override;
  void waitForChange(Wakeup& wake) override { watch_->wait(wake, watch_->lookAgainMs()); }

 private:
  std::vector<StationPort> ports_;
  std::unique_ptr<PortWatch> watch_;
  std::map<int, std::string> adapters_;
};

// What a station watches and runs its jobs with.
struct StationMachinery {
  std::unique_ptr<PortPresence> presence;
  std::unique_ptr<JobLauncher> launcher;
  // Where each job keeps what its tracker held before the write; none keeps nothing.
  std::shared_ptr<const HistoryArchive> history;
};

// The machinery for the port map's own [Ports] entries (mappedStationPorts),
// or BadInput when it has none ("no station ports: ...").
SettingsResult<StationMachinery> mappedStationMachinery(const PortMapConfig& map, TraceSink* trace,
                                                        EngineOptions options);

// Jobs on threads of their own, each opening its port's device through the
// system's serial port.
std::unique_ptr<JobLauncher> makeStationLauncher(const std::vector<StationPort>& ports, TraceSink* trace,
                                                 EngineOptions options);

}  // namespace pelmora::station
