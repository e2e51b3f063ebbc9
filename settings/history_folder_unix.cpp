// Where the kept before-images are on Linux: the user's data folder.
#include <cstdlib>

#include "settings/history_archive.h"

namespace pelmora {

std::string defaultHistoryFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/')
    return std::string(xdg) + "/pelmora/history";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.local/share/pelmora/history";
}

}  // namespace pelmora
