#pragma once
// A list to choose one line from, with OK and Cancel, modal over `owner`
// ("Restore Earlier Settings"). A double click chooses too.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelmora {

// The index of the line chosen; nothing when the user cancels.
std::optional<std::size_t> chooseFromList(HWND owner, std::u16string_view caption, std::u16string_view prompt,
                                          std::span<const std::u16string> lines);

}  // namespace pelmora
