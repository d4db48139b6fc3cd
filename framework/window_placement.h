// A window of the window engine as the settings store sees it, so that a
// window's placement can be stored in and restored from "ledora.INI". The
// popup menu's toolbox uses it; so can any procedure that keeps its place.
#pragma once

#include <cstdint>

#include "framework/ini_store.h"
#include "runtime/window/window.h"

namespace ledora::framework {

class WindowPlacement : public PlacementWindow {
 public:
  explicit WindowPlacement(runtime::Window& window) : window_(window) {}

  bool IsMinimized() const override { return window_.IsMinimised(); }
  bool IsMaximized() const override { return window_.IsMaximised(); }
  bool IsResizable() const override { return window_.IsResizable(); }
  void GetPosition(int32_t* x, int32_t* y) const override;
  void SetPosition(int32_t x, int32_t y) override { window_.SetPosition(x, y); }
  void GetSize(int32_t* width, int32_t* height) const override;
  void SetSize(int32_t width, int32_t height) override { window_.SetSize(width, height); }
  void SetMaximized(bool maximized) override { window_.SetMaximised(maximized); }

 private:
  runtime::Window& window_;
};

}  // namespace ledora::framework
