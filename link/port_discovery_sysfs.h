#pragma once
// PortDiscovery from the kernel's sysfs tree, for machines without udev:
// /sys/dev/char/MAJOR:MINOR leads to the tty, its "device/driver" link names
// the driver, and the first parent with an idVendor file is the USB device.

#include <string>

#include "link/port_discovery.h"

namespace pelmora {

class SysfsPortDiscovery final : public PortDiscovery {
 public:
  explicit SysfsPortDiscovery(std::string sysDir = "/sys") : sysDir_(std::move(sysDir)) {}
  PortDescription describe(const std::string& devicePath) override;
  std::vector<UsbIdentity> usbDevices() override;

 private:
  std::string sysDir_;
};

// The identity in a USB device's sysfs folder; nothing when it is not one.
std::optional<UsbIdentity> readUsbIdentity(const std::string& usbDeviceDir);

}  // namespace pelmora
