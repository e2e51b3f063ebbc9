// Ports on Windows: Windows' own COM numbers, opened as \\.\COMn by the
// serial port; the port map of the settings file does not apply.
#include "cli/port_target.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "link/port_name.h"
#include "link/serial_port.h"
#include "link/win32_serial_port.h"
#include "link/shown_text.h"

namespace pelmora::cli {

std::optional<SettingsError> portMapProblem(const UserSettings&) { return std::nullopt; }

const char* portNamingHelp() {
  return R"help(Ports: COMn, Windows' own numbers (Device Manager, "Ports (COM & LPT)").
Settings: %APPDATA%\KVL\COMM.conf ([Link] CheckReplyChecksum), optional.)help";
}

// Any number in range: a COM port without a device fails at open, and says so.
CliResult<PortTarget> resolvePortTarget(const std::string& name, const PortMapConfig& map,
                                        std::span<const PortTarget>) {
  const int number = portArgumentNumber(name);
  if (!SerialPort::inRange(number))
    return CliError{kExitBadInput, shown(name) + ": not a port (name COM" + std::to_string(kFirstPortNumber) +
                                       " to COM" + std::to_string(kLastPortNumber) + ", as the device manager shows it)"};
  return PortTarget{name, number, map};
}

bool sameTarget(const PortTarget& a, const PortTarget& b) { return a.number == b.number; }

std::vector<PortMapping> presentPorts(const PortMapConfig&) { return listedComPorts(); }

}  // namespace pelmora::cli
