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

fs::path canonicalOr(const fs::path& path, const fs::path& otherwise) {
  std::error_code error;
  fs::path result = fs::canonical(path, error);
  return error ? otherwise : result;
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
  description.deviceNode = canonicalOr(devicePath, devicePath).string();
  if (!S_ISCHR(info.st_mode)) return description;

  // Pseudo-terminals have no entry here; they keep just their node.
  const fs::path number = fs::path(sysDir_) / "dev" / "char" /
                          (std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)));
  const fs::path tty = canonicalOr(number, {});
  if (tty.empty()) return description;
  std::ifstream uevent(tty / "uevent");
  for (std::string line; std::getline(uevent, line);)
    if (line.starts_with("DEVNAME=")) description.deviceNode = "/dev/" + line.substr(8);

  const fs::path device = canonicalOr(tty / "device", {});
  if (device.empty()) return description;
  description.driver = canonicalOr(device / "driver", {}).filename().string();
  for (fs::path dir = device; dir.has_relative_path() && dir != fs::path(sysDir_); dir = dir.parent_path()) {
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
