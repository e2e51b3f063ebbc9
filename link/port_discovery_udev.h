#pragma once
// PortDiscovery through libudev, with a monitor for serial devices that come
// and go. Built on Linux only, when libudev is found.

#include <memory>

#include "link/port_discovery.h"

namespace pelmora {

// Nothing when udev is not running here (no daemon and no test bed standing in for it).
std::unique_ptr<PortDiscovery> makeUdevPortDiscovery();

}  // namespace pelmora
