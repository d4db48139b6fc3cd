#include "framework/rejected_input.h"

#include "runtime/dates/local_clock.h"
#include "runtime/values/decimal.h"
#include "runtime/window/window_registry.h"

namespace ledora::framework {

namespace {

runtime::Window& StatusWindow(runtime::Window& window) {
  runtime::Window* frame = runtime::WindowRegistry::Instance().Frame();
  return frame != nullptr ? *frame : window;
}

}  // namespace

std::string RejectedInputText(const runtime::Control& control) {
  std::string typed = "\"" + control.text + "\"";
  const runtime::Picture* picture = control.picture.get();
  if (picture == nullptr) return typed + " cannot be taken here";
  switch (picture->kind()) {
    case runtime::PictureDate:
      return typed + " is not a date: type it as " +
             picture->Format(runtime::Decimal(runtime::Today()));
    case runtime::PictureTime:
      return typed + " is not a time: type it as " +
             picture->Format(runtime::Decimal(runtime::Clock()));
    case runtime::PictureNumber:
      return typed + " is not a number that fits " + control.pictureText;
    default:
      return typed + " does not fit " + control.pictureText;
  }
}

std::string TellRejectedInput(runtime::Window& window, int32_t control) {
  const runtime::Control* c = window.Find(control);
  if (c == nullptr) return "";
  std::string told = RejectedInputText(*c);
  StatusWindow(window).SetStatusText(told);
  return told;
}

void ClearRejectedInput(runtime::Window& window, std::string* told) {
  if (told->empty()) return;
  runtime::Window& status = StatusWindow(window);
  if (status.statusText() == *told) status.SetStatusText("");
  told->clear();
}

}  // namespace ledora::framework
