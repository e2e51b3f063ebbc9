#include "app/window_assembly.h"

#include <array>
#include <string_view>
#include <utility>

#include "app/main_window_logic.h"
#include "app/system_port_index_store.h"
#include "link/port_map_file.h"
#include "link/system_serial_port.h"
#include "link/trace.h"
#include "link/user_settings_file.h"
#include "sim/demo_images.h"
#include "sim/loopback_serial_port.h"

namespace pelmora {

std::optional<WindowPlace> parseWindowPlace(std::string_view text) {
  std::array<int, 4> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t comma = text.find(',');
    const std::string_view part = i + 1 < values.size() ? text.substr(0, comma) : text;
    if (part.empty() || (i + 1 < values.size()) == (comma == std::string_view::npos)) return std::nullopt;
    const bool negative = part.front() == '-';
    int value = 0;
    const std::string_view digits = part.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + (c - '0');
    }
    values[i] = negative ? -value : value;
    if (comma != std::string_view::npos) text.remove_prefix(comma + 1);
  }
  if (values[2] < 1 || values[3] < 1) return std::nullopt;
  return WindowPlace{values[0], values[1], values[2], values[3]};
}

std::string windowPlaceText(const WindowPlace& place) {
  return std::to_string(place.left) + "," + std::to_string(place.top) + "," + std::to_string(place.width) + "," +
         std::to_string(place.height);
}

WindowAssembly::WindowAssembly(Parts parts) : parts_(std::move(parts)) {}

void WindowAssembly::keepWindowPlace(const WindowPlace& place) {
  if (!parts_.userSettingsPath.empty())
    (void)setUserSetting(parts_.userSettingsPath, "Window", "Geometry", windowPlaceText(place));
}

void WindowAssembly::configure(MainWindowLogic& logic) {
  if (parts_.demoPort) logic.setDemoPort(*parts_.demoPort);
  if (parts_.logTimes) logic.setLogClock(&clock_);
  logic.setHistory(parts_.history.get());
}

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
  parts.logTimes = user.logTimes;
  if (!launch.screenshots) parts.place = parseWindowPlace(user.windowGeometry);
  // Only a file in use is written: one that could not be read stays as it is.
  if (!user.problem && !launch.screenshots) parts.userSettingsPath = user.path;
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
    parts.demoPort = kDemoPort;
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
