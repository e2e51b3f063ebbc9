// Station ports on Linux: a number of the port map whose device is there.
#include <filesystem>

#include "station/station_assembly.h"

namespace pelmora::station {

bool stationPortPresent(const StationPort& port) {
  const std::optional<PortMapping> mapping = findPortMapping(port.map, port.number);
  std::error_code ignored;
  return mapping && std::filesystem::exists(mapping->devicePath, ignored);
}

}  // namespace pelmora::station
