#include "link/port_discovery.h"

#include <cstdio>

#include "link/port_name.h"

namespace pelmora {

std::vector<PortListing> listPorts(std::span<const PortMapping> map, PortDiscovery& discovery) {
  std::vector<PortListing> listing;
  listing.reserve(map.size());
  for (const PortMapping& m : map)
    listing.push_back({m.port, m.devicePath, m.explicitEntry, discovery.describe(m.devicePath)});
  return listing;
}

std::string portLabel(const PortDescription& description) {
  if (description.usb) {
    const UsbIdentity& usb = *description.usb;
    std::string label = usb.product.empty() ? "USB adapter" : usb.product;
    std::string detail = usb.manufacturer;
    if (!usb.serial.empty()) detail += (detail.empty() ? "" : ", ") + usb.serial;
    return detail.empty() ? label : label + " (" + detail + ")";
  }
  if (!description.driver.empty()) return "serial port (" + description.driver + ")";
  return {};
}

std::string describePortListing(const PortListing& listing) {
  std::string text = comPortName(listing.port) + ": " + listing.devicePath +
                     (listing.explicitEntry ? " (port map entry)" : " (found on this machine)");
  const PortDescription& d = listing.description;
  if (d.deviceNode.empty()) return text + "\nnot present now";
  if (d.deviceNode != listing.devicePath || !d.driver.empty()) {
    text += "\ndevice " + d.deviceNode;
    if (!d.driver.empty()) text += ", driver " + d.driver;
  }
  if (d.usb) {
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", d.usb->vendorId, d.usb->productId);
    text += "\nUSB " + std::string(ids);
    for (const std::string* part : {&d.usb->manufacturer, &d.usb->product})
      if (!part->empty()) text += " " + *part;
    if (!d.usb->serial.empty()) text += ", serial " + d.usb->serial;
  }
  return text;
}

}  // namespace pelmora
