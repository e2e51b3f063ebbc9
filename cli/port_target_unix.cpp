// Ports on Linux: numbers of the user's port map, or device paths.
#include "cli/port_target.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "link/serial_port.h"
#include "link/shown_text.h"

namespace pelmora::cli {

std::optional<SettingsError> portMapProblem(const UserSettings& settings) { return settings.problem; }

const char* portNamingHelp() {
  return R"(Ports: COMn numbers as the port map gives them (~/.config/KVL/COMM.conf and the
serial devices present; see `pelmora-cli ports`), or a device path such as /dev/ttyUSB0.)";
}

CliResult<PortTarget> resolvePortTarget(const std::string& name, const PortMapConfig& map,
                                        std::span<const PortTarget> earlier) {
  const auto refused = [&name](const std::string& why) { return CliError{kExitBadInput, shown(name) + why}; };
  if (!name.empty() && name[0] == '/') {
    if (std::error_code ignored; std::filesystem::is_directory(name, ignored))
      return refused(": is a directory, not a serial device");
    // A path already in the map keeps its number; any other goes to a
    // number no entry and no earlier target uses, ahead of the automatic part.
    for (const PortMapping& mapping : resolvePortMap(map)) {
      if (sameDevice(mapping.devicePath, name)) return PortTarget{name, mapping.port, map, true};
    }
    const auto taken = [&](int n) {
      return std::any_of(map.explicitEntries.begin(), map.explicitEntries.end(),
                         [n](const auto& entry) { return entry.first == n; }) ||
             std::any_of(earlier.begin(), earlier.end(), [n](const PortTarget& target) { return target.number == n; });
    };
    PortTarget target{name, 0, map};
    for (int n = kFirstPortNumber; n <= kLastPortNumber && target.number == 0; ++n) {
      if (!taken(n)) target.number = n;
    }
    if (target.number == 0) return refused(": every port number is taken by the port map");
    target.map.explicitEntries.insert(target.map.explicitEntries.begin(), {target.number, name});
    return target;
  }
  const int number = portArgumentNumber(name);
  if (!SerialPort::inRange(number))
    return refused(": not a port (name COM" + std::to_string(kFirstPortNumber) + " to COM" +
                   std::to_string(kLastPortNumber) + " or a device path such as /dev/ttyUSB0)");
  if (!findPortMapping(map, number)) return refused(": no device behind this number (see pelmora-cli ports)");
  return PortTarget{name, number, map};
}

bool sameTarget(const PortTarget& a, const PortTarget& b) {
  const std::optional<PortMapping> first = findPortMapping(a.map, a.number);
  const std::optional<PortMapping> second = findPortMapping(b.map, b.number);
  if (!first || !second) return a.number == b.number && !first && !second;
  return first->devicePath == second->devicePath || sameDevice(first->devicePath, second->devicePath);
}

std::vector<PortMapping> presentPorts(const PortMapConfig& map) { return resolvePortMap(map); }

}  // namespace pelmora::cli
