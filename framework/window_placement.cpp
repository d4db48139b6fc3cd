#include "framework/window_placement.h"

namespace ledora::framework {

void WindowPlacement::GetPosition(int32_t* x, int32_t* y) const {
  runtime::Rect g = window_.geometry();
  *x = g.x;
  *y = g.y;
}

void WindowPlacement::GetSize(int32_t* width, int32_t* height) const {
  runtime::Rect g = window_.geometry();
  *width = g.width;
  *height = g.height;
}

}  // namespace ledora::framework
