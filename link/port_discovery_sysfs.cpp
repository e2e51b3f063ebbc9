#include "link/port_discovery_sysfs.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <charconv>
#include <filesystem>
#include <fstream>

namespace pelmora {
namespace {

namespace fs = std::filesystem;

// The first line of a sysfs attribute; "" when it cannot be read.
std::string attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

std::optional<std::uint16_t> hexId(const std::string& text) {
  std::uint16_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// Where a sysfs link leads, worked out from its text (no realpath: test
// beds that stand in for /sys wrap it badly).
fs::path linkTarget(const fs::path& link) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  return error ? fs::path() : (link.parent_path() / target).lexically_normal();
}

}  // namespace

std::optional<UsbIdentity> readUsbIdentity(const std::string& usbDeviceDir) {
  const fs::path dir(usbDeviceDir);
  const std::optional<std::uint16_t> vendor = hexId(attribute(dir / "idVendor"));
  const std::optional<std::uint16_t> product = hexId(attribute(dir / "idProduct"));
  if (!vendor || !product) return std::nullopt;
  return UsbIdentity{*vendor, *product, attribute(dir / "manufacturer"), attribute(dir / "product"),
                     attribute(dir / "serial")};
}

PortDescription SysfsPortDiscovery::describe(const std::string& devicePath) {
  struct stat info {};
  if (::stat(devicePath.c_str(), &info) != 0) return {};
  PortDescription description;
  description.deviceNode = devicePath;
  if (!S_ISCHR(info.st_mode)) return description;

  // Pseudo-terminals have no entry here; they keep just their node.
  const fs::path number = fs::path(sysDir_) / "dev" / "char" /
                          (std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)));
  const fs::path tty = linkTarget(number);
  if (tty.empty()) return description;
  description.deviceNode = "/dev/" + tty.filename().string();

  // Up from the tty: the first folder with a driver link names the driver
  // (the USB serial port, the USB interface, the platform device), the first
  // with USB ids is the adapter.
  const fs::path devices = fs::path(sysDir_) / "devices";
  for (fs::path dir = tty.parent_path(); dir.string().starts_with(devices.string()) && dir != devices;
       dir = dir.parent_path()) {
    std::error_code error;
    if (description.driver.empty()) description.driver = fs::read_symlink(dir / "driver", error).filename().string();
    if (std::optional<UsbIdentity> usb = readUsbIdentity(dir.string())) {
      description.usb = std::move(usb);
      break;
    }
  }
  return description;
}

std::vector<UsbIdentity> SysfsPortDiscovery::usbDevices() {
  std::vector<UsbIdentity> found;
  std::error_code error;
  for (fs::directory_iterator it(fs::path(sysDir_) / "bus" / "usb" / "devices", error), end; !error && it != end;
       it.increment(error))
    if (std::optional<UsbIdentity> usb = readUsbIdentity(it->path().string())) found.push_back(std::move(*usb));
  return found;
}

}  // namespace pelmora
