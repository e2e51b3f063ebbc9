#pragma once
// The serial port of the system the program runs on: termios devices through
// the port map on Linux, Windows' own COM numbers on Windows (where the map
// is not used).

#include <memory>

#include "link/port_map.h"
#include "link/serial_port.h"

namespace pelmora {

std::unique_ptr<SerialPort> makeSystemSerialPort(const PortMapConfig& map);

}  // namespace pelmora
