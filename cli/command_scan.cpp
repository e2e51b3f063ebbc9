// pelmora-cli scan: which ports have a tracker. Every port of the map is
// opened and handshaken at once, each by its own session, so the scan takes
// about one handshake wait however many ports there are.

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
  if (!run.openTrace()) return kExitBadInput;
  const std::vector<PortTarget> targets = run.allPorts();
  std::vector<SessionResult> results(targets.size());
  {
    std::vector<std::jthread> workers;
    for (std::size_t i = 0; i < targets.size(); ++i) {
      workers.emplace_back([&, i] {
        SessionOptions options;
        options.engine.checkReplyChecksum = targets[i].checkReplyChecksum;
        TrackerSession session(makeSystemSerialPort(targets[i].map), std::move(options));
        results[i] = session.connect(targets[i].number);
      });
    }
  }

  int found = 0;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (!results[i].ok()) continue;
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
