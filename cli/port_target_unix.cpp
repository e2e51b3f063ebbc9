// Ports on Linux: numbers of the user's port map, or device paths.
#include "cli/port_target.h"

#include <cstdlib>

#include "link/serial_port.h"

namespace pelmora::cli {

std::string portMapProblem(const UserSettings& settings) { return settings.problem; }

const char* portNamingHelp() {
  return R"(Ports: COMn numbers as the port map gives them (~/.config/KVL/COMM.conf and the
serial devices present; see `pelmora-cli ports`), or a device path such as /dev/ttyUSB0.)";
}

std::optional<PortTarget> resolvePortTarget(const std::string& name, const PortMapConfig& map, std::string& error) {
  if (!name.empty() && name[0] == '/') {
    // A path already in the map keeps its number; any other goes to a
    // number no entry uses, ahead of the automatic part.
    for (const PortMapping& mapping : resolvePortMap(map)) {
      if (sameDevice(mapping.devicePath, name)) return PortTarget{name, mapping.port, map, true};
    }
    PortTarget target{name, 0, map};
    for (int n = kFirstPortNumber; n <= kLastPortNumber && target.number == 0; ++n) {
      bool taken = false;
      for (const auto& entry : map.explicitEntries) taken = taken || entry.first == n;
      if (!taken) target.number = n;
    }
    if (target.number == 0) {
      error = name + ": every port number is taken by the port map";
      return std::nullopt;
    }
    target.map.explicitEntries.insert(target.map.explicitEntries.begin(), {target.number, name});
    return target;
  }
  const int number = portArgumentNumber(name);
  if (!SerialPort::inRange(number)) {
    error = name + ": not a port (name COM" + std::to_string(kFirstPortNumber) + " to COM" +
            std::to_string(kLastPortNumber) + " or a device path such as /dev/ttyUSB0)";
    return std::nullopt;
  }
  if (!findPortMapping(map, number)) {
    error = name + ": no device behind this number (see pelmora-cli ports)";
    return std::nullopt;
  }
  return PortTarget{name, number, map};
}

std::vector<PortMapping> presentPorts(const PortMapConfig& map) { return resolvePortMap(map); }

}  // namespace pelmora::cli
