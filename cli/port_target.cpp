#include "cli/port_target.h"

#include <cstdlib>

#include "link/port_name.h"

namespace pelmora::cli {

int portArgumentNumber(const std::string& name) {
  if (const std::optional<int> number = comPortNumber(name)) return *number;
  if (name.empty() || name.size() > 3 || name.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::atoi(name.c_str());
}

std::vector<PortTarget> allPortTargets(const PortMapConfig& map) {
  std::vector<PortTarget> targets;
  for (const PortMapping& mapping : presentPorts(map)) targets.push_back({comPortName(mapping.port), mapping.port, map});
  return targets;
}

}  // namespace pelmora::cli
