// What the design model asks of the designer window that shows it: unit and
// paper size, on-screen controls made and removed while a design loads, and
// a redraw. The designer window implements it; the model never touches
// window code itself.
#pragma once

#include <cstdint>
#include <string>

namespace ledora::layout {

struct DesignerFont {
  std::string name;
  int16_t style = 0;
  int16_t size = 0;
};

class DesignerView {
 public:
  virtual ~DesignerView() = default;
  // scale '1': thousandths of an inch; 'M': millimetres.
  virtual void SetScale(char scale) = 0;
  virtual void SetPaperSize(int32_t width, int32_t height) = 0;
  // Removes the window control with this number, if there is one.
  virtual void RemoveControl(int32_t number) = 0;
  virtual void CreateControl(int32_t number, int16_t windowType) = 0;
  // Rebuilds the whole display from the model.
  virtual void Redraw() = 0;
  virtual DesignerFont WindowFont() const = 0;
};

}  // namespace ledora::layout
