#pragma once
// The program's pictures, by resource id: the application icon (154), loaded
// from the PNGs rendered from its SVG, and, drawn here, the six tab icons
// (148..153), the two status images (142 green, 1004 red) and the four key
// pictures (134..137).

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace pelmora {

// The picture's size in pixels; an empty size for an unknown id.
QSize artworkSize(int resourceId);
// Drawn at the screen's pixel ratio; a null pixmap for an unknown id.
QPixmap artworkPixmap(int resourceId);
QIcon artworkIcon(int resourceId);

}  // namespace pelmora
