#include "runtime/qtwindow/qt_shape_widget.h"

#include <QPainter>

#include "runtime/qtwindow/qt_conversions.h"

namespace ledora::runtime {

QtShapeWidget::QtShapeWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void QtShapeWidget::Show(const Control& control) {
  type_ = control.type;
  colour_ = control.colour;
  fill_ = control.fillColour;
  lineWidth_ = control.lineWidth;
  update();
}

void QtShapeWidget::paintEvent(QPaintEvent*) {
  if (type_ == ControlRegion) return;
  QPainter painter(this);
  QColor line = colour_ == kNoColour ? QColor(Qt::black) : ToQColor(colour_);
  QPen pen(line, std::max(1, lineWidth_));
  painter.setPen(lineWidth_ > 0 ? pen : QPen(Qt::NoPen));
  if (type_ == ControlLine) {
    painter.drawLine(0, 0, width() - 1, height() - 1);
    return;
  }
  if (fill_ != kNoColour) painter.setBrush(ToQColor(fill_));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace ledora::runtime
