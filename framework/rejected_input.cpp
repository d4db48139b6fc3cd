#include "framework/rejected_input.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "data/message_numbers.h"
#include "data/message_table.h"
#include "runtime/dates/local_clock.h"
#include "runtime/values/decimal.h"
#include "runtime/values/number_picture.h"
#include "runtime/window/common_dialogs.h"
#include "runtime/window/window_registry.h"

namespace ledora::framework {

namespace {

runtime::Window& StatusWindow(runtime::Window& window) {
  runtime::Window* frame = runtime::WindowRegistry::Instance().Frame();
  return frame != nullptr ? *frame : window;
}

// The lowest and highest value a numeric variable holds, as its places show.
std::optional<std::pair<runtime::Decimal, runtime::Decimal>> Range(const runtime::FieldRef& use) {
  auto whole = [](int64_t low, int64_t high) {
    return std::pair{runtime::Decimal(low), runtime::Decimal(high)};
  };
  switch (use.type) {
    case runtime::FieldByte:
      return whole(0, UINT8_MAX);
    case runtime::FieldShort:
      return whole(INT16_MIN, INT16_MAX);
    case runtime::FieldUShort:
      return whole(0, UINT16_MAX);
    case runtime::FieldLong:
      return whole(INT32_MIN, INT32_MAX);
    case runtime::FieldULong:
      return whole(0, UINT32_MAX);
    case runtime::FieldDecimal: {
      __int128 nines = 1;
      for (uint32_t digit = 0; digit < 2 * use.size - 1; ++digit) nines *= 10;
      runtime::Decimal high = runtime::Decimal::FromUnits(nines - 1, use.places);
      return std::pair{-high, high};
    }
    default:
      return std::nullopt;
  }
}

std::string NumberText(const runtime::Control& control, const runtime::NumberPicture& picture) {
  int places = picture.format().places;
  std::string plain;
  for (char c : control.text) {
    if (c != ' ' && c != ',') plain += c;
  }
  std::optional<runtime::Decimal> typed = runtime::Decimal::Parse(plain);
  auto range = Range(control.use);
  if (typed && typed->places() <= places && range &&
      (*typed < range->first || *typed > range->second)) {
    return data::AddedMessageText(data::MsgTypeNumberInRange,
                                  range->first.Rescaled(places).ToString(),
                                  range->second.Rescaled(places).ToString());
  }
  if (places == 0) return data::AddedMessageText(data::MsgTypeWholeNumber, "", "1234");
  std::string example = runtime::Decimal::FromUnits(123450, 2).Rescaled(places).ToString();
  return data::AddedMessageText(data::MsgTypeDecimalNumber, std::to_string(places), example);
}

}  // namespace

std::string RejectedInputText(const runtime::Control& control) {
  const runtime::Picture* picture = control.picture.get();
  if (picture == nullptr) return data::AddedMessageText(data::MsgTypeWesternText, "", "");
  switch (picture->kind()) {
    case runtime::PictureDate:
      return data::AddedMessageText(data::MsgTypeDate, "",
                                    picture->Format(runtime::Decimal(runtime::Today())));
    case runtime::PictureTime:
      return data::AddedMessageText(data::MsgTypeTime, "",
                                    picture->Format(runtime::Decimal(runtime::Clock())));
    case runtime::PictureNumber:
      if (auto* number = dynamic_cast<const runtime::NumberPicture*>(picture)) {
        return NumberText(control, *number);
      }
      return data::AddedMessageText(data::MsgTypeWholeNumber, "", "1234");
    default:
      if (static_cast<int>(control.text.size()) > picture->width()) {
        return data::AddedMessageText(data::MsgTypeShorterText, "",
                                      std::to_string(picture->width()));
      }
      return data::AddedMessageText(data::MsgTypeWesternText, "", "");
  }
}

std::string TellRejectedInput(runtime::Window& window, int32_t control) {
  const runtime::Control* c = window.Find(control);
  if (c == nullptr) return "";
  std::string told = RejectedInputText(*c);
  StatusWindow(window).SetStatusText(told);
  runtime::ShowTip(window, control, told);
  return told;
}

void ClearRejectedInput(runtime::Window& window, std::string* told) {
  if (told->empty()) return;
  runtime::Window& status = StatusWindow(window);
  if (status.statusText() == *told) status.SetStatusText("");
  told->clear();
}

}  // namespace ledora::framework
