// Where the kept before-images are on Windows: the user's local data folder.
#include <cstdlib>

#include "settings/history_archive.h"

namespace pelmora {

std::string defaultHistoryFolder() {
  const char* local = std::getenv("LOCALAPPDATA");
  return std::string(local != nullptr ? local : ".") + "\\Pelmora\\history";
}

}  // namespace pelmora
