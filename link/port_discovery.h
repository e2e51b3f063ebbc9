#pragma once
// What stands behind each port: the device node, and for a USB adapter its
// ids, names, serial number and kernel driver. The core asks PortDiscovery;
// the system's device database answers (udev where the build has it and it
// runs, else the kernel's sysfs tree read directly).
//
// Plugging: changeDescriptor() is a descriptor that becomes readable when a
// serial device comes or goes; the caller then calls takeChanges(). Without
// one (-1) the caller looks again every kRecheckMs and compares listings.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/port_map.h"

namespace pelmora {

inline constexpr int kRecheckMs = 2000;

struct UsbIdentity {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::string manufacturer;
  std::string product;
  std::string serial;

  bool operator==(const UsbIdentity&) const = default;
};

struct PortDescription {
  std::string deviceNode;  // where the path leads, "/dev/ttyUSB0"; empty when the device is absent
  std::string driver;      // kernel driver, "ftdi_sio"; empty when unknown (a pseudo-terminal)
  std::optional<UsbIdentity> usb;

  bool operator==(const PortDescription&) const = default;
};

class PortDiscovery {
 public:
  virtual ~PortDiscovery() = default;
  virtual PortDescription describe(const std::string& devicePath) = 0;
  // The USB devices present, adapters with or without a serial device.
  virtual std::vector<UsbIdentity> usbDevices() = 0;
  virtual int changeDescriptor() const { return -1; }
  // Empties the notifications; true when a serial device came or went since the last call.
  virtual bool takeChanges() { return false; }
};

// The system's own: udev when built in and reachable, else sysfs
// (port_discovery_unix.cpp); on Windows the COM name only
// (port_discovery_windows.cpp).
std::unique_ptr<PortDiscovery> makePortDiscovery();

// One port of the map with its description, as the chooser and `pelmora-cli ports` show it.
struct PortListing {
  int port = 0;
  std::string devicePath;      // as mapped: an entry's text, or the device the scan found
  bool explicitEntry = false;  // from [Ports] rather than found on the machine
  PortDescription description;

  bool operator==(const PortListing&) const = default;
};

std::vector<PortListing> listPorts(std::span<const PortMapping> map, PortDiscovery& discovery);

// Short words for after the port number: "FT232R USB UART (FTDI, A50285BI)",
// "serial port (serial8250)", "" for a device without a description.
std::string portLabel(const PortDescription& description);

// The whole of it, one fact a line, for a tooltip:
//   COM5: /dev/serial/by-id/usb-FTDI_... (port map entry)
//   device /dev/ttyUSB0, driver ftdi_sio
//   USB 0403:6001 FTDI FT232R USB UART, serial A50285BI
std::string describePortListing(const PortListing& listing);

}  // namespace pelmora
