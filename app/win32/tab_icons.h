#pragma once
// The tab strip's pictures: the six pages' icons drawn with GDI after the
// Qt window's drawings (an SMS bubble, a keypad, an antenna mast, a
// satellite over the earth, three network nodes, a gear), `size` pixels
// square, in an image list in tab order.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#include <span>

namespace pelmora {

// A new image list (the caller destroys it) with one picture per icon id,
// in the order given; an id without a drawing gets an empty picture.
HIMAGELIST tabIcons(std::span<const int> iconIds, int size);

}  // namespace pelmora
