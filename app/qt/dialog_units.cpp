#include "app/qt/dialog_units.h"

#include <QFontMetrics>
#include <QString>

#include <array>

namespace pelmora {
namespace {

struct FontSubstitute {
  std::u16string_view templateFace;
  const char* family;
};

constexpr std::array kSubstitutes{
    FontSubstitute{u"Arial", "Liberation Sans"},
    FontSubstitute{u"Microsoft Sans Serif", "DejaVu Sans"},
    FontSubstitute{u"MS Shell Dlg", "DejaVu Sans"},
    FontSubstitute{u"MS Shell Dlg 2", "DejaVu Sans"},
};
constexpr const char* kFallbackFamily = "DejaVu Sans";

constexpr int kTemplateDpi = 96;
constexpr int kPointsPerInch = 72;

// a * b / c, rounded half away from zero, as the platform's MulDiv.
int mulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = c / 2;
  return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QFont templateFont(std::u16string_view face, int points) {
  const char* family = kFallbackFamily;
  for (const FontSubstitute& substitute : kSubstitutes)
    if (substitute.templateFace == face) family = substitute.family;
  QFont font{QString::fromLatin1(family)};
  // A template's point size is an em height in pixels at 96 dpi.
  font.setPixelSize(mulDiv(points, kTemplateDpi, kPointsPerInch));
  font.setStyleHint(QFont::SansSerif);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (letters / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::x(int units) const { return mulDiv(units, baseX_, 4); }
int DialogUnits::y(int units) const { return mulDiv(units, baseY_, 8); }

}  // namespace pelmora
