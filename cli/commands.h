#pragma once
// The commands of pelmora-cli, one file each. Every command returns its
// exit status (exit_status.h) and prints its own messages.

#include <string>
#include <vector>

namespace pelmora::cli {

struct CommonOptions {
  std::string traceFile;  // "" none, "-" standard error
  bool quiet = false;     // results only, no progress
  bool verbose = false;   // the engine's log lines too
};

int runRead(const CommonOptions& common, const std::string& port, const std::string& output);
int runWrite(const CommonOptions& common, const std::string& port, const std::string& file, bool dryRun);
int runApply(const CommonOptions& common, const std::string& profile, const std::vector<std::string>& ports,
             bool allPorts, const std::string& reportFile, bool dryRun);
int runDiff(const CommonOptions& common, const std::string& first, const std::string& second);
int runScan(const CommonOptions& common, bool json);
int runPorts(const CommonOptions& common, bool json);

}  // namespace pelmora::cli
