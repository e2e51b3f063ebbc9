#pragma once
// How a port is named wherever the user writes or reads one: "COM5". The
// number is not range-checked here: the caller says what it does with a
// number that is no port.

#include <optional>
#include <string>
#include <string_view>

namespace pelmora {

std::string comPortName(int port);

// "COM" in any case followed by one to six digits gives their number;
// nothing for any other name.
std::optional<int> comPortNumber(std::string_view name);

}  // namespace pelmora
