#include "runtime/dates/picture_layout.h"

#include <cctype>

#include "runtime/dates/calendar_names.h"

namespace ledora::runtime {
namespace {

bool IsDigitCode(PositionCode code) {
  switch (code) {
    case PositionMonth:
    case PositionDay:
    case PositionYear:
    case PositionHour:
    case PositionMinute:
    case PositionSecond:
      return true;
    default:
      return false;
  }
}

bool IsNameCode(PositionCode code) {
  return code == PositionMonthName || code == PositionWeekdayName;
}

int DigitValue(PositionCode code, const LayoutValues& v, bool twelveHour) {
  switch (code) {
    case PositionMonth:
      return v.month;
    case PositionDay:
      return v.day;
    case PositionYear:
      return v.year;
    case PositionHour:
      if (!twelveHour) return v.hours;
      return v.hours % 12 == 0 ? 12 : v.hours % 12;
    case PositionMinute:
      return v.minutes;
    default:
      return v.seconds;
  }
}

}  // namespace

void PictureLayout::Add(PositionCode code, char fill, int count) {
  for (int i = 0; i < count; ++i) positions_.push_back({fill, code});
}

void PictureLayout::SetFill(char fill) {
  if (fill == '_') fill = ' ';
  for (PicturePosition& p : positions_) {
    if (IsDigitCode(p.code) || IsNameCode(p.code)) p.fill = fill;
  }
}

void PictureLayout::SetSeparator(char separator) {
  if (separator == '_') separator = ' ';
  if (separator == '`') separator = ',';
  for (PicturePosition& p : positions_) {
    if (p.code == PositionSeparator) p.fill = separator;
  }
}

std::vector<LayoutField> PictureLayout::Fields() const {
  std::vector<LayoutField> fields;
  for (int i = 0; i < width(); ++i) {
    PositionCode code = positions_[i].code;
    if (!fields.empty() && fields.back().code == code) {
      ++fields.back().length;
    } else {
      fields.push_back({code, i, 1});
    }
  }
  return fields;
}

bool PictureLayout::Has(PositionCode code) const {
  for (const PicturePosition& p : positions_) {
    if (p.code == code) return true;
  }
  return false;
}

std::vector<std::string> PictureLayout::LiteralWords() const {
  std::vector<std::string> words;
  std::string word;
  for (const PicturePosition& p : positions_) {
    if (p.code == PositionLiteral && std::isalpha(static_cast<unsigned char>(p.fill))) {
      word += p.fill;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

std::string PictureLayout::Print(const LayoutValues& values) const {
  std::string out(positions_.size(), ' ');
  size_t cursor = 0;
  for (const LayoutField& field : Fields()) {
    if (IsDigitCode(field.code)) {
      if (values.valid) {
        PrintDigits(field, DigitValue(field.code, values, twelveHour_), &out, &cursor);
      } else {
        cursor += field.length;
      }
    } else if (IsNameCode(field.code)) {
      if (values.valid) PrintName(field, values, &out, &cursor);
    } else if (field.code == PositionAmPm) {
      for (int i = 0; i < field.length; ++i) out[cursor++] = values.valid ? values.amPm : ' ';
    } else {
      for (int i = 0; i < field.length; ++i) out[cursor++] = positions_[field.start + i].fill;
    }
  }
  return out;
}

bool PictureLayout::ReadPositions(std::string_view text, std::vector<FieldNumber>* numbers) const {
  if (text.size() != positions_.size()) return false;
  std::vector<FieldNumber> result;
  for (const LayoutField& field : Fields()) {
    std::string_view part = text.substr(field.start, field.length);
    if (IsNameCode(field.code) || field.code == PositionAmPm) return false;
    if (!IsDigitCode(field.code)) {
      unsigned char c = static_cast<unsigned char>(part[0]);
      if (c >= 0x80 || std::isalnum(c)) return false;
      continue;
    }
    size_t first = part.find_first_not_of(" *");
    if (first == std::string_view::npos) return false;
    int value = 0;
    for (char c : part.substr(first)) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    result.push_back({field, value});
  }
  *numbers = std::move(result);
  return true;
}

void PictureLayout::PrintDigits(const LayoutField& field, int value, std::string* out,
                                size_t* cursor) const {
  std::string digits(field.length, '0');
  for (int i = field.length - 1; i >= 0 && value > 0; --i, value /= 10) {
    digits[i] = static_cast<char>('0' + value % 10);
  }
  bool leading = true;
  for (int i = 0; i < field.length; ++i) {
    // The last digit always shows, so that a zero value is not all fill.
    leading = leading && digits[i] == '0' && i + 1 < field.length;
    (*out)[(*cursor)++] = leading ? positions_[field.start + i].fill : digits[i];
  }
}

void PictureLayout::PrintName(const LayoutField& field, const LayoutValues& values,
                              std::string* out, size_t* cursor) const {
  bool month = field.code == PositionMonthName;
  bool shortName = field.length <= 3;
  std::string_view name;
  if (month) {
    name = shortName ? MonthAbbreviation(values.month) : MonthName(values.month);
  } else {
    name = shortName ? WeekdayAbbreviation(values.weekday) : WeekdayName(values.weekday);
  }
  if (name.size() > static_cast<size_t>(field.length)) name = name.substr(0, field.length);
  for (char c : name) {
    bool upper = upperNames_ && shortName;
    (*out)[(*cursor)++] =
        upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
  }
}

}  // namespace ledora::runtime
