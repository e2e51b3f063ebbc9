#pragma once
// The store of the last chosen port on this system: the user's settings
// file on Linux (FilePortIndexStore), the registry on Windows
// (RegistryPortIndexStore).

#include <memory>
#include <string>

#include "app/port_index_store.h"

namespace pelmora {

// `userSettingsPath`: the user's settings file, where Linux keeps the value.
std::unique_ptr<PortIndexStore> makeSystemPortIndexStore(const std::string& userSettingsPath);

}  // namespace pelmora
