#pragma once
// Which device stands behind each port number ("COM5" is number 5).
//
// Explicit entries come first and may name any device, a pseudo-terminal
// included. With `automatic` on, the numbers left free, from 1 upwards, go to
// the serial devices present, in this order: ttyUSB0, ttyUSB1, ... (numeric
// order), then ttyACM0, ..., then the ttyS ports with a UART behind them (the
// kernel makes ttyS nodes without hardware; their sysfs "type" reads 0).
// Nothing is cached: every call looks again, so an adapter plugged in later
// is found by the next open.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora {

struct PortMapConfig {
  std::vector<std::pair<int, std::string>> explicitEntries;  // port number, device path
  bool automatic = true;
  std::string devDir = "/dev";
  std::string sysClassTtyDir = "/sys/class/tty";
};

struct PortMapping {
  int port = 0;
  std::string devicePath;
  bool explicitEntry = false;  // from the configuration rather than found on the machine
};

// Every mapped number in 1..100, in ascending order. A device named by an
// explicit entry is not numbered a second time by the scan.
std::vector<PortMapping> resolvePortMap(const PortMapConfig& config);

std::optional<PortMapping> findPortMapping(const PortMapConfig& config, int port);

// One number's mapping in words, for a tooltip, e.g.
// "COM5: /dev/pts/3 (port map entry)" or "COM7: no device".
std::string describePortMapping(const PortMapConfig& config, int port);

}  // namespace pelmora
