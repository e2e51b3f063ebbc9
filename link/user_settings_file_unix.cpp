// Where the user's settings file is on Linux.
#include <cstdlib>

#include "link/user_settings_file.h"

namespace pelmora {

std::string userSettingsPath() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    return std::string(xdg) + "/KVL/COMM.conf";
  }
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.config/KVL/COMM.conf";
}

}  // namespace pelmora
