#pragma once
// The facts behind a failed open, looked up when asked for: who holds a busy
// device, whether the user is in the device's group, which USB adapters are
// plugged in without a serial device although brltty is known to take them.
// Plain values; link/open_failure_text.h puts them in words.

#include <cstdint>
#include <string>
#include <vector>

#include "link/port_discovery.h"
#include "link/serial_port.h"

namespace pelmora {

struct PortHolder {
  int pid = 0;
  std::string name;  // the process's name, "ModemManager"

  bool operator==(const PortHolder&) const = default;
};

struct KnownAdapter {
  std::uint16_t vendorId;
  std::uint16_t productId;
  const char* name;
};

struct OpenFailureDetail {
  OpenFailure failure = OpenFailure::Other;
  std::string devicePath;
  std::optional<UsbIdentity> usb;       // the adapter behind the device, where known
  std::vector<PortHolder> holders;      // Busy: other processes with the device open
  std::string deviceGroup;              // AccessDenied: the group the device belongs to, "dialout"
  bool inGroupNow = false;              // this process has that group
  bool listedInGroup = false;           // the user is a member, added after this session began
  std::vector<UsbIdentity> takenAdapters;  // NoSuchDevice: adapters present that brltty is known to take
};

// Where the lookups read; tests point them at fakes.
struct FailureSources {
  std::string procDir = "/proc";
  std::string userName;  // "" for the user running this process
};

OpenFailureDetail explainOpenFailure(OpenFailure failure, const std::string& devicePath, PortDiscovery& discovery,
                                     const FailureSources& sources = {});

// The adapter's common name when brltty is known to claim its id, else nullptr.
const char* adapterBrlttyTakes(std::uint16_t vendorId, std::uint16_t productId);

}  // namespace pelmora
