#pragma once
// A small modal window of the main window's own (the About box, the list of
// changes): a frame with a caption and a close box, centred over its owner,
// which stays disabled while the frame is up. Return, Escape, the close box
// and any button with the id IDOK or IDCANCEL close it.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string_view>

namespace pelmora {

// Hidden until runModal; its client area `width` x `height` pixels.
HWND createModalFrame(HWND owner, std::u16string_view caption, int width, int height);
// Shows `frame` and returns once it is closed.
void runModal(HWND frame, HWND owner);

}  // namespace pelmora
