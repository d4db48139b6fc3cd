// A date or time picture seen as a Picture: the value is the standard date
// or time as a number. Picture::Compile wraps DatePicture and TimePicture in
// it so that windows and reports treat every picture alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
  // A text variable holds the standard number as digits.
  std::string Format(std::string_view text) const override {
    return Format(ParseLeadingNumber(text));
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
