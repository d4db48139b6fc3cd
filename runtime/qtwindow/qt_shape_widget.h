// Boxes, lines and regions on screen: drawn, never taking the mouse, so a
// click falls through to the window (the designer's canvas hit-tests itself).
#pragma once

#include <QWidget>

#include "runtime/window/control.h"

namespace ledora::runtime {

class QtShapeWidget : public QWidget {
 public:
  explicit QtShapeWidget(QWidget* parent);
  void Show(const Control& control);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ControlType type_ = ControlBox;
  int32_t colour_ = kNoColour;
  int32_t fill_ = kNoColour;
  int32_t lineWidth_ = 1;
};

}  // namespace ledora::runtime
