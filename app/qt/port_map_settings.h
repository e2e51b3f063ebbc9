#pragma once
// The user's port map, group "Ports" of the settings file: entries
// "COM5=/dev/ttyUSB0" give a port number its device; "Automatic=no" turns
// off the numbering of the serial devices found on the machine.
//
// QSettings would cut a value at ";", make a list of one with ",", and eat
// backslashes, so the group is read from the file's text as written
// (link/port_map_file.h). The values read are then put back into `settings`:
// when the window writes the file (it keeps the chosen port there), QSettings
// writes them quoted, so they read back the same.

#include <QSettings>

#include "link/port_map_file.h"

namespace pelmora {

PortsGroup readPortsGroup(QSettings& settings);
PortMapConfig readPortMap(QSettings& settings);  // readPortsGroup(settings).config

}  // namespace pelmora
