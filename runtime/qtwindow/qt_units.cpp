#include "runtime/qtwindow/qt_units.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace ledora::runtime {

namespace {
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
}  // namespace

QtUnits::QtUnits(WindowUnit unit, const QFont& font, double dpi) {
  switch (unit) {
    case UnitDialog: {
      // A dialog unit is a quarter of the average character width and an
      // eighth of the character height of the window's font. The average is
      // over the letters, as Windows takes it: the font's own figure for it
      // runs narrow for some families, and designs would then cut off text.
      QFontMetricsF metrics(font);
      double letters = metrics.horizontalAdvance(QString::fromLatin1(kLetters)) / 52.0;
      perUnitX_ = std::max(1.0, letters) / 4.0;
      perUnitY_ = std::max(1.0, metrics.height()) / 8.0;
      break;
    }
    case UnitThousandths:
      perUnitX_ = perUnitY_ = dpi / 1000.0;
      break;
    case UnitMillimetres:
      perUnitX_ = perUnitY_ = dpi / 25.4;
      break;
    case UnitPoints:
      perUnitX_ = perUnitY_ = dpi / 72.0;
      break;
    case UnitPixels:
      perUnitX_ = perUnitY_ = 1.0;
      break;
  }
}

int QtUnits::ToX(int32_t value) const { return static_cast<int>(std::lround(value * perUnitX_)); }

int QtUnits::ToY(int32_t value) const { return static_cast<int>(std::lround(value * perUnitY_)); }

int32_t QtUnits::FromX(int pixels) const {
  return static_cast<int32_t>(std::lround(pixels / perUnitX_));
}

int32_t QtUnits::FromY(int pixels) const {
  return static_cast<int32_t>(std::lround(pixels / perUnitY_));
}

QRect QtUnits::ToRect(const Rect& rect) const {
  return QRect(ToX(rect.x), ToY(rect.y), ToX(rect.width), ToY(rect.height));
}

}  // namespace ledora::runtime
