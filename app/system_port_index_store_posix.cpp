#include "app/file_port_index_store.h"
#include "app/system_port_index_store.h"

namespace pelmora {

std::unique_ptr<PortIndexStore> makeSystemPortIndexStore(const std::string& userSettingsPath) {
  return std::make_unique<FilePortIndexStore>(userSettingsPath);
}

}  // namespace pelmora
