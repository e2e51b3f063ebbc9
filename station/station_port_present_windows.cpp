// Station ports on Windows: a COM port Windows lists now.
#include "link/win32_serial_port.h"
#include "station/station_assembly.h"

namespace pelmora::station {

bool stationPortPresent(const StationPort& port) {
  for (const PortMapping& listed : listedComPorts())
    if (listed.port == port.number) return true;
  return false;
}

}  // namespace pelmora::station
