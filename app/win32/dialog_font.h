#pragma once
// A template's font and its dialog units. A dialog unit is a quarter of the
// font's average character width across and an eighth of its height down,
// as the system's dialog manager measures them: the average of the 52 Latin
// letters, and the text metric's height. The font's point size is taken at
// the window's dots per inch, so that a page keeps its proportions on a
// screen of any density.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora {

// The density `window` is shown at (96 when the system cannot say).
int windowDpi(HWND window);

class DialogFont {
 public:
  DialogFont(std::u16string_view face, int points, int dpi);
  ~DialogFont();
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;

  HFONT handle() const { return font_; }
  int dpi() const { return dpi_; }
  int x(int units) const;
  int y(int units) const;
  RECT rect(const DialogRect& units) const;
  // Pixels at 96 dpi, at this font's density.
  int scaled(int pixels) const;

 private:
  HFONT font_ = nullptr;
  int dpi_ = 96;
  int baseX_ = 1;
  int baseY_ = 1;
};

}  // namespace pelmora
