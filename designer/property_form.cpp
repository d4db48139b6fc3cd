#include "designer/property_form.h"

#include "designer/designer_dialog.h"
#include "designer/designer_messages.h"

namespace ledora::designer {

void PropertyForm::Prompt(int32_t number, std::string_view text, const runtime::Rect& rect) {
  window_.CreateControl(number, runtime::ControlPrompt, parent_);
  window_.SetText(number, text);
  window_.SetRect(number, rect);
}

void PropertyForm::Number(int32_t number, int32_t* value, int digits, const runtime::Rect& rect,
                          int32_t low, int32_t high) {
  window_.CreateControl(number, runtime::ControlSpin, parent_);
  window_.SetRect(number, rect);
  // Space filling: no group separators, so a typed number reads back as shown.
  window_.SetPicture(number, "@n-_" + std::to_string(digits + 1));
  window_.SetSpinRange(number, low, high);
  window_.SetUse(number, runtime::FieldRef::Of(*value));
}

void PropertyForm::Check(int32_t number, std::string_view text, uint8_t* value,
                         const runtime::Rect& rect) {
  window_.CreateControl(number, runtime::ControlCheck, parent_);
  window_.SetText(number, text);
  window_.SetRect(number, rect);
  window_.SetUse(number, runtime::FieldRef::Of(*value));
}

void PropertyForm::Choice(int32_t number, std::string* value, std::string_view firstText,
                          std::string_view secondText, const runtime::Rect& rect) {
  window_.CreateControl(number, runtime::ControlOption, parent_);
  window_.SetRect(number, rect);
  window_.SetUse(number, runtime::FieldRef::Of(*value));
  const int32_t half = rect.width / 2;
  for (int i = 0; i < 2; ++i) {
    int32_t radio = number + 1 + i;
    window_.CreateControl(radio, runtime::ControlRadio, number);
    window_.SetText(radio, i == 0 ? firstText : secondText);
    window_.SetRadioValue(radio, i == 0 ? kFirst : kSecond);
    window_.SetRect(radio, {rect.x + 2 + half * i, rect.y + 2, half - 4, rect.height - 4});
  }
}

void PropertyForm::Button(int32_t number, std::string_view text, const runtime::Rect& rect,
                          std::string_view tip) {
  AddButton(window_, number, text, rect, tip);
  if (runtime::Control* c = window_.Find(number)) c->parent = parent_;
}

void PropertyForm::OkCancelHelp(int32_t ok, int32_t right, int32_t y) {
  const char* keys[3][2] = {{"TextButtonOk", "TipButtonOk"},
                            {"TextButtonCancel", "TipButtonCancel"},
                            {"TextButtonHelp", "TipButtonHelp"}};
  for (int i = 0; i < 3; ++i) {
    Button(ok + i, DesignerText(keys[i][0]), {right - 54 * (3 - i) + 4, y, 50, 14},
           DesignerText(keys[i][1]));
  }
  window_.SetDefaultButton(ok);
}

void PropertyForm::Group(int32_t number, std::string_view text, const runtime::Rect& rect) {
  window_.CreateControl(number, runtime::ControlGroup, parent_);
  window_.SetText(number, text);
  window_.SetRect(number, rect);
}

void PropertyForm::Hide(int32_t first, int32_t last, bool hidden) {
  for (int32_t n = first; n <= last; ++n) window_.SetHidden(n, hidden);
}

bool PropertyForm::Run(int32_t ok, int32_t cancel,
                       const std::function<void(const runtime::Event&)>& onEvent,
                       const std::function<bool()>& accept) {
  runtime::Event event;
  while (window_.Accept(&event)) {
    if (event.number == runtime::EventAccepted && event.control == ok) {
      window_.Update();
      if (!accept || accept()) {
        window_.Close();
        return true;
      }
    } else if (event.number == runtime::EventAccepted && event.control == cancel) {
      window_.Close();
    } else if (event.number == runtime::EventRejected) {
      // Out of range: the value held so far shows again.
      window_.Display(event.control);
      window_.Select(event.control);
    } else {
      onEvent(event);
    }
  }
  return false;
}

}  // namespace ledora::designer
