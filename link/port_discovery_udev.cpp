#include "link/port_discovery_udev.h"

#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>

namespace pelmora {
namespace {

std::string text(const char* value) { return value != nullptr ? value : ""; }

std::uint16_t hexId(const char* value) {
  const std::string digits = text(value);
  std::uint16_t id = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), id, 16);
  return id;
}

UsbIdentity usbIdentityOf(udev_device* usb) {
  return {hexId(udev_device_get_sysattr_value(usb, "idVendor")), hexId(udev_device_get_sysattr_value(usb, "idProduct")),
          text(udev_device_get_sysattr_value(usb, "manufacturer")), text(udev_device_get_sysattr_value(usb, "product")),
          text(udev_device_get_sysattr_value(usb, "serial"))};
}

class UdevPortDiscovery final : public PortDiscovery {
 public:
  UdevPortDiscovery(udev* context, udev_monitor* monitor) : udev_(context), monitor_(monitor) {}
  ~UdevPortDiscovery() override {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    udev_unref(udev_);
  }
  UdevPortDiscovery(const UdevPortDiscovery&) = delete;
  UdevPortDiscovery& operator=(const UdevPortDiscovery&) = delete;

  PortDescription describe(const std::string& devicePath) override {
    struct stat info {};
    if (::stat(devicePath.c_str(), &info) != 0) return {};
    PortDescription description;
    description.deviceNode = devicePath;
    if (!S_ISCHR(info.st_mode)) return description;
    udev_device* tty = udev_device_new_from_devnum(udev_, 'c', info.st_rdev);
    if (tty == nullptr) return description;  // a pseudo-terminal
    description.deviceNode = "/dev/" + text(udev_device_get_sysname(tty));
    // The driver of the USB interface (or platform device) the tty hangs on.
    description.driver = text(udev_device_get_property_value(tty, "ID_USB_DRIVER"));
    if (description.driver.empty())
      if (udev_device* parent = udev_device_get_parent(tty)) description.driver = text(udev_device_get_driver(parent));
    if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device"))
      description.usb = usbIdentityOf(usb);
    udev_device_unref(tty);
    return description;
  }

  std::vector<UsbIdentity> usbDevices() override {
    std::vector<UsbIdentity> found;
    udev_enumerate* enumerate = udev_enumerate_new(udev_);
    udev_enumerate_add_match_subsystem(enumerate, "usb");
    udev_enumerate_add_match_property(enumerate, "DEVTYPE", "usb_device");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
      if (udev_device* usb = udev_device_new_from_syspath(udev_, udev_list_entry_get_name(entry))) {
        found.push_back(usbIdentityOf(usb));
        udev_device_unref(usb);
      }
    }
    udev_enumerate_unref(enumerate);
    return found;
  }

  int changeDescriptor() const override { return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1; }

  bool takeChanges() override {
    bool changed = false;
    if (monitor_ == nullptr) return false;
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
      const std::string action = text(udev_device_get_action(device));
      changed = changed || action == "add" || action == "remove";
      udev_device_unref(device);
    }
    return changed;
  }

 private:
  udev* udev_;
  udev_monitor* monitor_;
};

}  // namespace

std::unique_ptr<PortDiscovery> makeUdevPortDiscovery() {
  // Without the daemon udev's database is empty and no event comes; sysfs
  // then does better. A test bed (umockdev) stands in for the daemon.
  if (::access("/run/udev/control", F_OK) != 0 && std::getenv("UMOCKDEV_DIR") == nullptr) return nullptr;
  udev* context = udev_new();
  if (context == nullptr) return nullptr;
  udev_monitor* monitor = udev_monitor_new_from_netlink(context, "udev");
  if (monitor != nullptr && (udev_monitor_filter_add_match_subsystem_devtype(monitor, "tty", nullptr) < 0 ||
                             udev_monitor_enable_receiving(monitor) < 0)) {
    udev_monitor_unref(monitor);
    monitor = nullptr;
  }
  return std::make_unique<UdevPortDiscovery>(context, monitor);
}

}  // namespace pelmora
