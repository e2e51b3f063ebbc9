#include "link/shown_text.h"

namespace pelmora {

std::string shown(std::string_view value) {
  // Characters, not bytes: a UTF-8 continuation byte starts with the bits 10.
  const auto isContinuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; };
  std::size_t characters = 0;
  std::size_t keep = 0;  // bytes of the first kShownLength - 3 characters
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (isContinuation(value[i])) continue;
    if (characters == kShownLength - 3) keep = i;
    ++characters;
  }
  if (characters <= kShownLength) return std::string(value);
  return std::string(value.substr(0, keep)) + "...";
}

}  // namespace pelmora
