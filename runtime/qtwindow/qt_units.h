// Converts window units (dialog units, thousandths of an inch, millimetres,
// points, pixels) to pixels and back for one window's font and screen.
#pragma once

#include <QFont>
#include <QRect>

#include "runtime/window/window.h"

namespace ledora::runtime {

class QtUnits {
 public:
  QtUnits(WindowUnit unit, const QFont& font, double dpi);

  int ToX(int32_t value) const;
  int ToY(int32_t value) const;
  int32_t FromX(int pixels) const;
  int32_t FromY(int pixels) const;
  QRect ToRect(const Rect& rect) const;

 private:
  double perUnitX_ = 1;  // pixels per unit
  double perUnitY_ = 1;
};

}  // namespace ledora::runtime
