// pelmora-cli scan: which ports have a tracker. Every port of the map is
// opened and handshaken at once, each by its own session, and each session
// ends as soon as its port has answered, failed to open or hung up: the scan
// takes as long as its slowest port, at most one handshake wait (a port that
// stays silent) however many ports there are.

#include <cstdio>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/commands.h"
#include "cli/run_support.h"
#include "link/system_serial_port.h"
#include "link/tracker_session.h"

namespace pelmora::cli {

int runScan(const CommonOptions& common, bool json) {
  RunSupport run(common);
  if (const CliStatus trace = run.openTrace(); !trace) return reportFailure(trace.error());
  const std::vector<PortTarget> targets = run.allPorts();
  std::vector<char> answered(targets.size(), 0);  // one element per thread
  {
    std::vector<std::jthread> workers;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      workers.emplace_back([&, i] {
        const std::unique_ptr<SerialPort> port = makeSystemSerialPort(targets[i].map);
        SystemClock clock;
        TrackerSession session(*port, clock, nullptr, EngineOptions{targets[i].checkReplyChecksum});
        answered[i] = session.open(targets[i].number) && session.waitForTracker(kHandshakeTimeoutMs);
      });
    }
  }

  int found = 0;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (answered[i] == 0) continue;
    ++found;
    const std::optional<PortMapping> mapping = findPortMapping(targets[i].map, targets[i].number);
    const std::string path = mapping ? mapping->devicePath : std::string{};
    if (json) {
      list.push_back({{"port", targets[i].name}, {"path", path}});
    } else {
      std::printf("%s  %s  tracker answering\n", targets[i].name.c_str(), path.c_str());
    }
  }
  if (json) std::printf("%s\n", list.dump(2).c_str());
  if (found == 0) {
    if (!common.quiet) std::fprintf(stderr, "No tracker answered on %zu ports\n", targets.size());
    return kExitTrackerFailed;
  }
  return kExitDone;
}

}  // namespace pelmora::cli
