// Position and size of one visible thing of a design (paper, detail area,
// band, control, selection handle) in design units, with the number of the
// designer's window control that shows it. Owned by the design state, a band
// entry or a control entry; the designer keeps the on-screen rectangle.
#pragma once

#include <cstdint>

namespace ledora::layout {

// Window control types the designer shows design items with.
enum DesignerControlType : int16_t {
  ShownAsText = 2,
  ShownAsImage = 3,
  ShownAsLine = 5,
  ShownAsBox = 6,
  ShownAsCheck = 12,
  ShownAsGroup = 13,
  ShownAsMultiLine = 17,
};

constexpr int32_t kNoColour = -1;

struct ControlGeometry {
  int32_t CTRLNO = 0;
  int16_t CTRLTYPE = 0;
  // Negative width or height: the default (full report width for a band,
  // natural size for a control).
  int32_t XPOS = 0;
  int32_t YPOS = 0;
  int32_t WIDTH = 0;
  int32_t HEIGHT = 0;
  // As shown on the canvas: position plus the owning band's origin.
  int32_t WINXPOS = 0;
  int32_t WINYPOS = 0;
  int32_t WINWIDTH = 0;
  int32_t WINHEIGHT = 0;

  // How the designer draws a box-type item.
  int32_t borderColour = 0;
  int32_t fillColour = kNoColour;

  // A negative position is stored as 0; sizes are kept as given.
  void Place(int32_t x, int32_t y, int32_t width, int32_t height) {
    XPOS = x < 0 ? 0 : x;
    YPOS = y < 0 ? 0 : y;
    WIDTH = width;
    HEIGHT = height;
  }
};

}  // namespace ledora::layout
