#pragma once
// Dialog units to pixels, the way the dialog manager of the templates'
// platform does it: the horizontal base unit is the average width of the
// 52 Latin letters in the template's font, the vertical one the font's
// height; x px = x * baseX / 4, y px = y * baseY / 8.
//
// Template fonts are named as on that platform and sized in its points at
// 96 dpi; templateFont() gives the font installed here that has the same
// metrics (Arial: Liberation Sans) or covers the same scripts (the sans
// serif dialog fonts: DejaVu Sans, which has Cyrillic).

#include <QFont>
#include <QRect>

#include <string_view>

#include "pages/dialog_template.h"

namespace pelmora {

QFont templateFont(std::u16string_view face, int points);

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int x(int units) const;
  int y(int units) const;
  QRect rect(const DialogRect& r) const { return {x(r.x), y(r.y), x(r.width), y(r.height)}; }

 private:
  int baseX_ = 0;
  int baseY_ = 0;
};

}  // namespace pelmora
