#pragma once
// A value quoted in a message, cut to a readable length: a file may hold a
// megabyte in one value, and the message only has to show which one.

#include <cstddef>
#include <string>
#include <string_view>

namespace pelmora {

inline constexpr std::size_t kEchoedCharacters = 60;

// The first 60 characters (UTF-8 code points) of `value`, with "…" after
// them when it is longer; never cuts a character in half.
std::string echoedValue(std::string_view value);

}  // namespace pelmora
