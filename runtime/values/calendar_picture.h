// A date or time picture seen as a Picture: the value is the standard date
// or time as a number. Picture::Compile wraps DatePicture and TimePicture in
// it so that windows and reports treat every picture alike.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/values/fixed_string.h"
#include "runtime/values/picture.h"

namespace ledora::runtime {

template <typename Calendar, PictureKind Kind>
class CalendarPicture : public Picture {
 public:
  explicit CalendarPicture(std::unique_ptr<Calendar> calendar) : calendar_(std::move(calendar)) {}

  PictureKind kind() const override { return Kind; }
  int width() const override { return calendar_->width(); }

  // A value beyond 32 bits is no valid date or time and shows as one.
  std::string Format(const Decimal& value) const override {
    return calendar_->Format(ToStandard(value));
  }
  // A text variable holds the standard number as digits, or else a date or
  // time as this picture reads it; other text shows unchanged.
  std::string Format(std::string_view text) const override {
    std::string_view trimmed = Clip(text);
    trimmed.remove_prefix(std::min(trimmed.size(), trimmed.find_first_not_of(' ')));
    if (std::optional<Decimal> number = Decimal::Parse(trimmed)) return Format(*number);
    int32_t standard = 0;
    if (calendar_->Deformat(trimmed, &standard)) return calendar_->Format(standard);
    // Neither: show the text as it is rather than a date made up from it.
    return std::string(trimmed.substr(0, width()));
  }
  bool Deformat(std::string_view shown, Decimal* value) const override {
    int32_t standard = 0;
    if (!calendar_->Deformat(shown, &standard)) return false;
    *value = Decimal(standard);
    return true;
  }
  bool Deformat(std::string_view shown, std::string* text) const override {
    Decimal value;
    if (!Deformat(shown, &value)) return false;
    *text = value.ToString();
    return true;
  }

 private:
  static int32_t ToStandard(const Decimal& value) {
    int64_t whole = value.Rescaled(0).ToInt64();
    return whole > INT32_MAX || whole < INT32_MIN ? -1 : static_cast<int32_t>(whole);
  }

  std::unique_ptr<Calendar> calendar_;
};

}  // namespace ledora::runtime
