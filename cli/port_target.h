#pragma once
// The ports a command names, each turned into a port number and the map that
// gives that number its device. On Linux "COM5" is a number of the user's
// port map, and a device path ("/dev/ttyUSB0", "/dev/serial/by-id/...") is
// taken as well (port_target_unix.cpp); on Windows "COM5" is Windows' own
// COM5 and the map is not used (port_target_windows.cpp).

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "link/port_map.h"
#include "link/port_map_file.h"
#include "link/user_settings_file.h"

namespace pelmora::cli {

struct PortTarget {
  std::string name;  // as the user wrote it, for every message about this port
  int number = 0;    // the port number the serial port opens
  PortMapConfig map;
  bool checkReplyChecksum = true;  // [Link] CheckReplyChecksum of the settings file
};

// Why --all cannot trust the ports it would take: the port map in the
// user's settings file could not be read (none when it was, and on Windows,
// where ports do not come from it).
std::optional<SettingsError> portMapProblem(const UserSettings& settings);

// How ports are named here, for --help.
const char* portNamingHelp();

// "COM5" in any case, or "5": 5; 0 for anything else.
int portArgumentNumber(const std::string& name);

// True when `name` stands for a port rather than a file: "COM5" in any
// case, or the path of a character device.
bool namesPort(const std::string& name);
// A file argument that names a port where the port argument is a file that
// exists: the two were given the wrong way round.
bool argumentsSwapped(const std::string& port, const std::string& file);

// The target `name` stands for, or kExitBadInput saying what is wrong with
// it. `earlier` are the targets the same command resolved before: a device
// path the map does not know gets a number none of them (and no map entry) has.
CliResult<PortTarget> resolvePortTarget(const std::string& name, const PortMapConfig& map,
                                        std::span<const PortTarget> earlier = {});

// The same port named twice: the same device however it was written (a
// link and its target, a path and the map's number for it); on Windows the
// same number.
bool sameTarget(const PortTarget& a, const PortTarget& b);

// The ports there are, for ports, --all and scan: the port map's on Linux,
// the COM ports Windows lists on Windows.
std::vector<PortMapping> presentPorts(const PortMapConfig& map);

// A target for each of presentPorts(map).
std::vector<PortTarget> allPortTargets(const PortMapConfig& map);

}  // namespace pelmora::cli
