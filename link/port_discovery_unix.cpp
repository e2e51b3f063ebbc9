#include "link/port_discovery.h"
#include "link/port_discovery_sysfs.h"
#ifdef PELMORA_HAVE_UDEV
#include "link/port_discovery_udev.h"
#endif

namespace pelmora {

std::unique_ptr<PortDiscovery> makePortDiscovery() {
#ifdef PELMORA_HAVE_UDEV
  if (std::unique_ptr<PortDiscovery> udev = makeUdevPortDiscovery()) return udev;
#endif
  return std::make_unique<SysfsPortDiscovery>();
}

}  // namespace pelmora
