// Windows names its serial ports itself (COM5) and says nothing more here:
// the adapter behind a COM port is in the device manager, not in a path.
#include "link/port_discovery.h"

namespace pelmora {
namespace {

class ComNameDiscovery final : public PortDiscovery {
 public:
  PortDescription describe(const std::string& devicePath) override { return {devicePath, {}, std::nullopt}; }
  std::vector<UsbIdentity> usbDevices() override { return {}; }
};

}  // namespace

std::unique_ptr<PortDiscovery> makePortDiscovery() { return std::make_unique<ComNameDiscovery>(); }

}  // namespace pelmora
