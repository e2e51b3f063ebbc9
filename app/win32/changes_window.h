#pragma once
// "Compare with Tracker": the lines in a fixed-width list with a Close
// button, modal over `owner`.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <span>
#include <string>

namespace pelmora {

void showChangesWindow(HWND owner, std::span<const std::u16string> lines);

}  // namespace pelmora
