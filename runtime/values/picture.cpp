#include "runtime/values/picture.h"

#include <cctype>

#include "runtime/dates/date_picture.h"
#include "runtime/dates/time_picture.h"
#include "runtime/values/calendar_picture.h"
#include "runtime/values/number_picture.h"
#include "runtime/values/pattern_picture.h"
#include "runtime/values/string_picture.h"

namespace ledora::runtime {

namespace {

using DateValuePicture = CalendarPicture<DatePicture, PictureDate>;
using TimeValuePicture = CalendarPicture<TimePicture, PictureTime>;

template <typename Wrapper, typename Calendar>
std::unique_ptr<Picture> Wrap(std::unique_ptr<Calendar> calendar) {
  if (!calendar) return nullptr;
  return std::make_unique<Wrapper>(std::move(calendar));
}

std::unique_ptr<Picture> CompileNumber(std::string_view rest, std::string* error) {
  NumberFormat format;
  if (!ParseNumberFormat(rest, &format, error)) return nullptr;
  return std::make_unique<NumberPicture>(std::move(format));
}

}  // namespace

std::unique_ptr<Picture> Picture::Compile(std::string_view text, std::string* error) {
  // Pictures stored in fixed-width fields arrive blank-padded.
  size_t first = text.find_first_not_of(' ');
  text = first == std::string_view::npos
             ? std::string_view()
             : text.substr(first, text.find_last_not_of(' ') - first + 1);
  std::string_view body = text;
  if (!body.empty() && body.front() == '@') body.remove_prefix(1);
  if (body.empty()) {
    if (error) *error = "empty picture";
    return nullptr;
  }
  std::string_view rest = body.substr(1);
  switch (std::toupper(static_cast<unsigned char>(body.front()))) {
    case 'N':
      return CompileNumber(rest, error);
    case 'S':
      return StringPicture::Compile(rest, error);
    case 'P':
      return PatternPicture::Compile(rest, error);
    case 'D':
      return Wrap<DateValuePicture>(DatePicture::Compile(text, error));
    case 'T':
      return Wrap<TimeValuePicture>(TimePicture::Compile(text, error));
    default:
      if (error) *error = std::string("unknown picture type '") + body.front() + "'";
      return nullptr;
  }
}

std::string Picture::Format(const FieldRef& field) const {
  bool textual = field.type == FieldString || field.type == FieldText;
  if (kind() == PictureString || textual) return Format(GetText(field));
  return Format(GetNumber(field));
}

bool Picture::Deformat(std::string_view shown, const FieldRef& field) const {
  if (field.address == nullptr) return false;
  if (field.IsNumeric()) {
    Decimal value;
    if (!Deformat(shown, &value)) return false;
    // A number the variable cannot hold is refused, never stored wrapped
    // round; rounding to its places is no refusal.
    Decimal before = GetNumber(field);
    SetNumber(field, value);
    Decimal difference = GetNumber(field) - value;
    if (difference > Decimal(-1) && difference < Decimal(1)) return true;
    SetNumber(field, before);
    return false;
  }
  std::string text;
  if (!Deformat(shown, &text)) return false;
  SetText(field, text);
  return true;
}

std::string FormatWithPicture(std::string_view picture, const FieldRef& field) {
  std::unique_ptr<Picture> compiled = Picture::Compile(picture);
  if (!compiled) return GetText(field);
  return compiled->Format(field);
}

}  // namespace ledora::runtime
