#pragma once
// The pictures the templates name, drawn with GDI at the size asked for:
// the status images (one solid colour each) and the tracker's key pictures
// of the Key Binding page, in the colours the Qt window paints them. The
// application icon is the program's icon resource, made from the project's
// one SVG at build time.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace pelmora {

// The picture's own size in pixels at 96 dpi; {0, 0} for an unknown id.
SIZE artworkSize(int resourceId);
// A new bitmap (the caller deletes it); nullptr for an id without a picture.
HBITMAP artworkBitmap(int resourceId, int width, int height);
// The application icon at `size` pixels, shared (never destroyed).
HICON applicationIcon(int size);

}  // namespace pelmora
