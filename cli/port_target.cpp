#include "cli/port_target.h"

#include <cstdlib>
#include <filesystem>

#include "link/port_name.h"

namespace pelmora::cli {

int portArgumentNumber(const std::string& name) {
  if (const std::optional<int> number = comPortNumber(name)) return *number;
  if (name.empty() || name.size() > 3 || name.find_first_not_of("0123456789") != std::string::npos) return 0;
  return std::atoi(name.c_str());
}

bool namesPort(const std::string& name) {
  if (comPortNumber(name)) return true;
  std::error_code error;
  return std::filesystem::is_character_file(name, error);
}

bool argumentsSwapped(const std::string& port, const std::string& file) {
  std::error_code error;
  return namesPort(file) && std::filesystem::is_regular_file(port, error);
}

std::vector<PortTarget> allPortTargets(const PortMapConfig& map) {
  std::vector<PortTarget> targets;
  for (const PortMapping& mapping : presentPorts(map)) targets.push_back({comPortName(mapping.port), mapping.port, map});
  return targets;
}

}  // namespace pelmora::cli
