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
//
// Devices are told apart by what they are, not by how they are written: an
// entry "/dev/serial/by-id/usb-FTDI_..." and the scan's "/dev/ttyUSB0" are
// the same device when both lead to the same device number, so the device
// keeps the entry's number and is never numbered twice.

#include <optional>
#include <span>
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

// Every mapped number in 1..99, in ascending order. A device named by an
// earlier explicit entry is numbered neither by a later entry nor by the scan.
// `previous` is the map handed out before: a device found by the scan keeps
// its number from there while it stays present, so plugging or pulling one
// adapter renumbers no other.
std::vector<PortMapping> resolvePortMap(const PortMapConfig& config, std::span<const PortMapping> previous = {});

// True when both paths lead to the same device: the same character device
// number (a link and its target, two links), or else the same file.
bool sameDevice(const std::string& a, const std::string& b);

std::optional<PortMapping> findPortMapping(const PortMapConfig& config, int port);

// One number's mapping in words, for a tooltip, e.g.
// "COM5: /dev/pts/3 (port map entry)" or "COM7: no device".
std::string describePortMapping(const PortMapConfig& config, int port);

}  // namespace pelmora
