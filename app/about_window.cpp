#include "app/about_window.h"

#include "app/version.h"
#include "data/error_severity.h"

namespace ledora::app {

namespace {

enum AboutControls : int32_t {
  kLogo = 1,
  kProduct = 2,
  kVendor = 3,
  kStreet = 4,
  kTown = 5,
  kContact = 6,
  kDemo = 7,
  kVersion = 8,
};

struct Line {
  int32_t control;
  const char* text;
  int32_t y;
};

constexpr Line kLines[] = {
    {kProduct, "Quorval Report Designer 2.0", 6},
    {kVendor, "Vennic Software", 22},
    {kStreet, "Kanaalstraat 12", 32},
    {kTown, "7411 AB  Deventer", 42},
    {kContact, "info@vennic.example", 52},
    {kDemo, "Demo program", 68},
    {kVersion, "ledora " LEDORA_VERSION, 78},
};

}  // namespace

AboutWindow::AboutWindow() {
  window_.SetCaption(false);
  window_.SetSize(180, 94);
  window_.SetFont({"MS Sans Serif", 8, 0, runtime::kNoColour});
  window_.CreateControl(kLogo, runtime::ControlImage);
  window_.SetRect(kLogo, {6, 6, 40, 40});
  window_.SetIcon(kLogo, "Layout.ico");
  for (const Line& line : kLines) {
    window_.CreateControl(line.control, runtime::ControlString);
    window_.SetText(line.control, line.text);
    window_.SetRect(line.control, {52, line.y, 124, 10});
  }
  window_.SetControlFont(kProduct, {"", 10, runtime::FontWeightBold, runtime::kNoColour});
  SetWindow(&window_);
}

data::Severity AboutWindow::Initialize() {
  REQUEST = framework::PendingRequest;
  data::Severity result = ProcedureFrame::Initialize();
  if (result != data::SeverityNone) return result;
  framework::PendingRequest = framework::RequestNone;
  framework::LastResponse = framework::ResponseNone;
  // A left click, a right click or a double click anywhere closes it.
  window_.AddAlert(runtime::KeyMouseLeft);
  window_.AddAlert(runtime::KeyMouseRight);
  window_.AddAlert(runtime::KeyMouseLeftDouble);
  window_.SetTimer(kLifetime);
  OpenWindow();
  // Over a frame that has just opened, the splash must take the focus
  // itself, or the window manager gives it to the frame.
  window_.Activate();
  return data::SeverityNone;
}

data::Severity AboutWindow::OnWindowEvent() {
  switch (event().number) {
    case runtime::EventLoseFocus:
      // Only a focus it had on screen can be lost: the frame taking the
      // focus as it opens, before the splash ever had it, does not count.
      if (event().value == 0) return data::SeverityNone;
      SetResponseAndClose(framework::ResponseCompleted);
      return data::SeverityNone;
    case runtime::EventTimer:
    case runtime::EventAlertKey:
      SetResponseAndClose(framework::ResponseCompleted);
      return data::SeverityNone;
    default:
      return ProcedureFrame::OnWindowEvent();
  }
}

void ShowAbout() {
  AboutWindow about;
  framework::LastResponse = about.Run();
}

}  // namespace ledora::app
