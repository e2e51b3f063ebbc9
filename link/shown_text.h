#pragma once
// A value the user gave, as a message repeats it: cut to 60 characters, so
// that a pasted file or a runaway argument does not flood the terminal.

#include <string>
#include <string_view>

namespace pelmora {

inline constexpr std::size_t kShownLength = 60;

// The value itself when it fits; otherwise its start and "..." in 60
// characters, never cutting a UTF-8 character in two.
std::string shown(std::string_view value);

}  // namespace pelmora
