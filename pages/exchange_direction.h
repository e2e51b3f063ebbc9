#pragma once
// Which way a page exchange copies: model to controls after a read,
// controls to model before a write.

#include <cstdint>

namespace pelmora {

enum ExchangeDirection : std::uint8_t { PAGE_LOAD = 0, PAGE_SAVE = 1 };

}  // namespace pelmora
