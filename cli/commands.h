#pragma once
// The commands of pelmora-cli, one file each. Every command returns its
// exit status (exit_status.h) and prints its own messages. Each command has
// its own options; only CommonOptions are shared.

#include <cstddef>
#include <string>
#include <vector>

#include "station/station_record.h"

namespace pelmora::cli {

struct CommonOptions {
  std::string traceFile;  // "" none, "-" standard error
  bool quiet = false;     // results only, no progress
  bool verbose = false;   // the engine's log lines too
};

struct ReadOptions {
  std::string port;
  std::string output;  // "-": JSON on standard output
};

struct WriteOptions {
  std::string port;
  std::string file;
  bool dryRun = false;
  bool yes = false;  // write a whole file from another tracker (its TrackerId) all the same
};

struct ApplyOptions {
  std::string profile;
  std::vector<std::string> ports;
  bool allPorts = false;
  std::string reportFile;
  bool dryRun = false;
  bool yes = false;
};

struct DiffOptions {
  std::string first;
  std::string second;
  bool json = false;
};

struct HistoryOptions {
  std::string tracker;  // an IMEI or a name history lists; "": every tracker
  bool json = false;
};

struct RestoreOptions {
  std::string port;
  std::string at;             // a time history lists (or its start), or a kept image's path; "": the newest
  bool otherTracker = false;  // write settings kept from another tracker all the same
  bool dryRun = false;
};

enum class FieldsFormat { Columns, Json, Markdown };

struct StationOptions {
  std::string profile;
  std::string valuesFile;  // "" none
  std::string recordFile = station::kDefaultRecordFile;
  std::string csvFile;     // "" none
  std::vector<std::string> ports;  // none: the [Ports] entries of the port map
  bool again = false;      // write trackers the record shows done with this profile too
  std::size_t count = 0;   // stop after this many trackers (0: until interrupted)
};

int runRead(const CommonOptions& common, const ReadOptions& options);
int runWrite(const CommonOptions& common, const WriteOptions& options);
int runApply(const CommonOptions& common, const ApplyOptions& options);
int runDiff(const CommonOptions& common, const DiffOptions& options);
int runFields(FieldsFormat format);
int runScan(const CommonOptions& common, bool json);
int runPorts(const CommonOptions& common, bool json);
int runHistory(const HistoryOptions& options);
int runRestore(const CommonOptions& common, const RestoreOptions& options);
int runStation(const CommonOptions& common, const StationOptions& options);

}  // namespace pelmora::cli
