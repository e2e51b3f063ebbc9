// Where the user's settings file is on Windows.
#include <cstdlib>

#include "link/user_settings_file.h"

namespace pelmora {

std::string userSettingsPath() {
  const char* appData = std::getenv("APPDATA");
  return std::string(appData != nullptr ? appData : ".") + "\\KVL\\COMM.conf";
}

}  // namespace pelmora
