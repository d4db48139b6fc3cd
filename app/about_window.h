// The about window: a small captionless window with the product line, logo,
// vendor block and "Demo program". The main frame calls it from its menu
// and once as a splash when it opens; it closes itself after 5 seconds, on
// a click anywhere on it, or when it loses the focus.
#pragma once

#include <cstdint>

#include "framework/procedure_frame.h"
#include "runtime/window/window.h"

namespace ledora::app {

class AboutWindow : public framework::ProcedureFrame {
 public:
  static constexpr int32_t kLifetime = 500;  // hundredths of a second

  AboutWindow();

  data::Severity Initialize() override;
  data::Severity OnWindowEvent() override;

  runtime::Window& window() { return window_; }

 private:
  runtime::Window window_;
};

// Runs the about window on the calling thread until it has closed.
void ShowAbout();

}  // namespace ledora::app
