#include "link/port_name.h"

#include <algorithm>
#include <cctype>

namespace pelmora {

std::string comPortName(int port) { return "COM" + std::to_string(port); }

std::optional<int> comPortNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "COM";
  if (name.size() <= kPrefix.size() || name.size() > kPrefix.size() + 6) return std::nullopt;
  const bool prefixed = std::equal(kPrefix.begin(), kPrefix.end(), name.begin(), [](char upper, char c) {
    return upper == std::toupper(static_cast<unsigned char>(c));
  });
  if (!prefixed) return std::nullopt;
  int number = 0;
  for (const char c : name.substr(kPrefix.size())) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

}  // namespace pelmora
