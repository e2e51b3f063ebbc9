#pragma once
// The user's port map, group "Ports" of the settings file: entries
// "COM5=/dev/ttyUSB0" give a port number its device; "Automatic=false"
// turns off the numbering of the serial devices found on the machine.
// Keys that name no port from COM1 to COM100 are ignored.

#include <QSettings>

#include "link/port_map.h"

namespace pelmora {

PortMapConfig readPortMap(QSettings& settings);

}  // namespace pelmora
