#include "app/window_assembly.h"

#include <string_view>
#include <utility>

#include "app/system_port_index_store.h"
#include "link/port_map_file.h"
#include "link/system_serial_port.h"
#include "link/trace.h"
#include "link/user_settings_file.h"
#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {

WindowAssembly::WindowAssembly(Parts parts) : parts_(std::move(parts)) {}

std::vector<PortListing> WindowAssembly::listPorts() {
  std::vector<PortListing> listing;
  for (const PortMapping& mapping : parts_.port->currentMap()) {
    // Without a discovery the entry is taken as present, with nothing more to say.
    PortDescription description = parts_.discovery ? parts_.discovery->describe(mapping.devicePath)
                                                   : PortDescription{mapping.devicePath, {}, std::nullopt};
    listing.push_back({mapping.port, mapping.devicePath, mapping.explicitEntry, std::move(description)});
  }
  return listing;
}

std::string WindowAssembly::describePort(int port) {
  for (const PortListing& listing : listPorts())
    if (listing.port == port) return describePortListing(listing);
  return "COM" + std::to_string(port) + ": no device";
}

LinkEngine& WindowAssembly::startLink(TrackerWindow& notifications) {
  if (!engine_) engine_.emplace(*parts_.port, clock_, notifications, settings_, trace(), parts_.engineOptions);
  return *engine_;
}

WindowAssembly::Parts programParts(const WindowLaunch& launch) {
  WindowAssembly::Parts parts;
  if (!launch.traceFile.empty()) {
    OutputResult<TraceFile> trace = TraceFile::open(launch.traceFile, "pelmora");
    if (trace)
      parts.trace = std::move(*trace);
    else
      parts.notices.push_back(trace.error().message);
  }

  // Read whole here; of the file, the window writes back only the port index
  // (on Linux; Windows keeps it in the registry).
  UserSettings user = loadUserSettings();
  parts.portIndexStore = makeSystemPortIndexStore(user.path);
  // [Link] CheckReplyChecksum=false: for a tracker whose firmware computes the reply checksum differently.
  parts.engineOptions = EngineOptions{user.checkReplyChecksum};
  // [General] VerifyAfterWrite=false: no read-back after a write.
  parts.verifyAfterWrite = user.verifyAfterWrite;
  parts.language = user.language;
  if (std::string unused = unusedSettingsLine(user); !unused.empty()) parts.notices.push_back(std::move(unused));

  if (launch.demo) {
    sim::SimOptions tracker;
    tracker.image = sim::extendedDemoImage();
    if (TraceSink* trace = parts.trace.get()) {
      tracker.log = [trace](std::string_view line) {
        tracef(trace, "Simulated tracker: %.*s", static_cast<int>(line.size()), line.data());
      };
    }
    parts.port = std::make_unique<sim::LoopbackSerialPort>(kDemoPort, tracker);
    return parts;
  }
  parts.port = makeSystemSerialPort(user.ports.config);
  parts.history = std::make_unique<HistoryArchive>(defaultHistoryFolder(), user.historyKeep);
  parts.discovery = makePortDiscovery();
  if (std::string ignored = ignoredEntriesLine(user.ports.ignored); !ignored.empty())
    parts.notices.push_back(std::move(ignored));
  return parts;
}

}  // namespace pelmora
