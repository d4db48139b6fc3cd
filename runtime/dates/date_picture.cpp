#include "runtime/dates/date_picture.h"

#include <vector>

#include "runtime/dates/calendar_names.h"
#include "runtime/dates/local_clock.h"
#include "runtime/dates/locale_formats.h"
#include "runtime/dates/standard_date.h"
#include "runtime/dates/typed_text.h"

namespace ledora::runtime {
namespace {

constexpr std::string_view kPatterns[16] = {
    "M/dd/yy",  "M/dd/yyyy",  "MMM' 'd,yyyy", "MMMM' 'd,' 'yyyy", "d/MM/yy", "d/MM/yyyy",
    "d MMM yy", "d MMM yyyy", "yy/MM/dd",     "yyyy/MM/dd",       "yyMMdd",  "yyyyMMdd",
    "MM/yy",    "MM/yyyy",    "yy/MM",        "yyyy/MM"};

bool IsDateField(PositionCode code) {
  return code == PositionMonth || code == PositionDay || code == PositionYear ||
         code == PositionMonthName || code == PositionWeekdayName;
}

bool HasDateField(const PictureLayout& layout) {
  return layout.Has(PositionMonth) || layout.Has(PositionDay) || layout.Has(PositionYear) ||
         layout.Has(PositionMonthName);
}

constexpr DateTimeKind kDate = {
    'D', "date", kPatterns, &LocaleFormats::shortDate, &LocaleFormats::longDate, HasDateField};

LayoutValues DateValues(int32_t date) {
  CalendarDate d;
  if (!DateParts(date, &d)) return {};
  return {.valid = true, .year = d.year, .month = d.month, .day = d.day, .weekday = Weekday(date)};
}

std::vector<LayoutField> DateFields(const PictureLayout& layout) {
  std::vector<LayoutField> fields;
  for (const LayoutField& f : layout.Fields()) {
    if (IsDateField(f.code)) fields.push_back(f);
  }
  return fields;
}

// What typed text gave; -1 where it gave nothing.
struct DateReading {
  int month = -1;
  int day = -1;
  int year = -1;
  size_t yearDigits = 0;
};

bool ReadWord(PositionCode code, const TypedWord& word, DateReading* r) {
  switch (code) {
    case PositionMonth:
      r->month = WordNumber(word, 2);
      return r->month >= 0;
    case PositionDay:
      r->day = WordNumber(word, 2);
      return r->day >= 0;
    case PositionYear:
      r->year = WordNumber(word, 4);
      r->yearDigits = word.text.size();
      return r->year >= 0;
    case PositionMonthName:
      r->month = word.digits ? WordNumber(word, 2) : MonthFromName(word.text);
      return r->month > 0;
    default:  // the weekday is shown, not read
      return !word.digits && WeekdayFromName(word.text) >= 0;
  }
}

// Digits at their printed places, fill and all ("@D_11" shows " 3 925").
bool ReadPositions(const PictureLayout& layout, std::string_view text, DateReading* r) {
  std::vector<FieldNumber> numbers;
  if (!layout.ReadPositions(text, &numbers)) return false;
  for (const FieldNumber& n : numbers) {
    if (n.field.code == PositionMonth) r->month = n.value;
    if (n.field.code == PositionDay) r->day = n.value;
    if (n.field.code == PositionYear) {
      r->year = n.value;
      r->yearDigits = n.field.length;
    }
  }
  return true;
}

// Digits typed without separators ("311059"), split by the picture's field
// widths; a four-digit year may be typed with two.
bool ReadCompact(const std::vector<LayoutField>& fields, std::string_view digits, DateReading* r) {
  size_t total = 0;
  bool longYear = false;
  for (const LayoutField& f : fields) {
    if (f.code == PositionMonthName || f.code == PositionWeekdayName) return false;
    total += f.length;
    longYear = longYear || (f.code == PositionYear && f.length == 4);
  }
  bool shortYear = digits.size() != total;
  if (shortYear && !(longYear && digits.size() + 2 == total)) return false;
  size_t at = 0;
  for (const LayoutField& f : fields) {
    size_t length = f.code == PositionYear && shortYear ? 2 : f.length;
    ReadWord(f.code, {true, digits.substr(at, length)}, r);
    at += length;
  }
  return true;
}

// One word per field, in the picture's order.
bool ReadWords(const PictureLayout& layout, const std::vector<TypedWord>& words, DateReading* r) {
  std::vector<LayoutField> fields = DateFields(layout);
  if (words.size() == 1 && words[0].digits && fields.size() > 1) {
    return ReadCompact(fields, words[0].text, r);
  }
  if (words.size() + 1 == fields.size()) {
    // The weekday may be left out.
    std::erase_if(fields, [](const LayoutField& f) { return f.code == PositionWeekdayName; });
  }
  if (words.size() != fields.size()) return false;
  for (size_t i = 0; i < words.size(); ++i) {
    if (!ReadWord(fields[i].code, words[i], r)) return false;
  }
  return true;
}

// A reading missing a part takes the first day, the first month, this year.
int32_t DateOf(DateReading r, int window, int currentYear) {
  if (r.day < 0) r.day = 1;
  if (r.month < 0) r.month = 1;
  if (r.year < 0) {
    r.year = currentYear;
  } else if (r.yearDigits <= 2) {
    r.year = ExpandYear(r.year, window, currentYear);
  } else if (r.year < 100) {
    return -1;  // "0059" is year 59, not a two-digit year
  }
  return DateFrom(r.month, r.day, r.year, window, currentYear);
}

}  // namespace

std::unique_ptr<DatePicture> DatePicture::Compile(std::string_view picture, std::string* error) {
  PictureOptions options;
  PictureLayout layout;
  if (!DateTimePicture::Compile(picture, kDate, &options, &layout, error)) return nullptr;
  layout.set_upper_names(options.format == 3 || options.format == 7 || options.format == 8);
  return std::make_unique<DatePicture>(options, std::move(layout));
}

DatePicture::DatePicture(const PictureOptions& options, PictureLayout layout)
    : DateTimePicture(options, std::move(layout)) {}

std::string DatePicture::Format(int32_t date) const { return Print(date, DateValues); }

bool DatePicture::Deformat(std::string_view text, int32_t* date) const {
  return Deformat(text, date, CurrentYear());
}

bool DatePicture::Deformat(std::string_view text, int32_t* date, int currentYear) const {
  return Read(text, date, [&](std::string_view text, const std::vector<TypedWord>& words) {
    int32_t n = -1;
    DateReading reading;
    if (ReadPositions(layout_, text, &reading)) n = DateOf(reading, options_.window, currentYear);
    reading = DateReading();
    if (n < 0 && ReadWords(layout_, words, &reading)) {
      n = DateOf(reading, options_.window, currentYear);
    }
    return n;
  });
}

}  // namespace ledora::runtime
