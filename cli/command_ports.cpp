// pelmora-cli ports: the ports there are, with what stands behind each.

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/port_target.h"
#include "link/port_discovery.h"
#include "link/port_name.h"

namespace pelmora::cli {

int runPorts(const CommonOptions& common, bool json) {
  const UserSettings settings = loadUserSettings();
  if (settings.problem) std::fprintf(stderr, "%s\n", unusedSettingsLine(settings).c_str());
  const PortsGroup& group = settings.ports;
  if (const std::string ignored = ignoredEntriesLine(group.ignored); !ignored.empty() && !common.quiet) {
    std::fprintf(stderr, "%s\n", ignored.c_str());
  }
  const std::unique_ptr<PortDiscovery> discovery = makePortDiscovery();
  const std::vector<PortListing> rows = listPorts(presentPorts(group.config), *discovery);

  if (!json) {
    if (rows.empty()) std::printf("No serial ports found.\n");
    for (const PortListing& row : rows) std::printf("%s\n\n", describePortListing(row).c_str());
    return kExitDone;
  }
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const PortListing& row : rows) {
    nlohmann::ordered_json item;
    item["port"] = comPortName(row.port);
    item["path"] = row.devicePath;
    item["entry"] = row.explicitEntry;
    item["device"] = row.description.deviceNode;
    item["driver"] = row.description.driver;
    if (const auto& usb = row.description.usb) {
      char ids[16];
      std::snprintf(ids, sizeof ids, "%04x:%04x", usb->vendorId, usb->productId);
      item["usb"] = {{"id", ids},
                     {"manufacturer", usb->manufacturer},
                     {"product", usb->product},
                     {"serial", usb->serial}};
    }
    list.push_back(item);
  }
  std::printf("%s\n", list.dump(2, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  return kExitDone;
}

}  // namespace pelmora::cli
