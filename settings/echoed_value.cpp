#include "settings/echoed_value.h"

namespace pelmora {

std::string echoedValue(std::string_view value) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80;
    if (!continuation && characters++ == kEchoedCharacters) return std::string(value.substr(0, i)) + "\u2026";
  }
  return std::string(value);
}

}  // namespace pelmora
