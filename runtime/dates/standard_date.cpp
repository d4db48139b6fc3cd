#include "runtime/dates/standard_date.h"

#include "runtime/dates/local_clock.h"

namespace ledora::runtime {
namespace {

constexpr int kFirstYear = 1801;
constexpr int kLastYear = 9999;
constexpr int kDaysBeforeMonth[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
constexpr int kMonthLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int LeapDays(int year) { return year / 4 - year / 100 + year / 400; }

// Day number of 1 January of year.
int32_t YearStart(int year) {
  return 365 * year + LeapDays(year) + 1 - LeapDays(1800) - 657362 - (IsLeapYear(year) ? 1 : 0);
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 400 == 0 || year % 100 != 0); }

int DaysInMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kMonthLength[month - 1];
}

int ExpandYear(int twoDigitYear, int window, int currentYear) {
  if (twoDigitYear < 0 || twoDigitYear > 99) return -1;
  int d = currentYear % 100 - twoDigitYear;
  int candidate = currentYear - d;
  if (d <= window - 100) return candidate - 100;
  if (d > window) return candidate + 100;
  return candidate;
}

int ExpandYear(int twoDigitYear, int window) {
  return ExpandYear(twoDigitYear, window, CurrentYear());
}

int32_t DateFrom(int month, int day, int year, int window, int currentYear) {
  if (year < 0) return -1;
  if (year < 100) year = ExpandYear(year, window, currentYear);
  if (year < kFirstYear || year > kLastYear) return -1;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return -1;
  int32_t n =
      365 * year + LeapDays(year) + kDaysBeforeMonth[month - 1] + day - LeapDays(1800) - 657362;
  if (month <= 2 && IsLeapYear(year)) --n;
  return n;
}

int32_t DateFrom(int month, int day, int year) {
  if (year < 0 || year >= 100) return DateFrom(month, day, year, kDefaultYearWindow, 0);
  return DateFrom(month, day, year, kDefaultYearWindow, CurrentYear());
}

bool DateParts(int32_t date, CalendarDate* parts) {
  if (date < kFirstDate || date > kLastDate) return false;
  int year = (date + 365 * 1800 + LeapDays(1800) - 4) / 365;
  while (YearStart(year) > date) --year;
  int rest = date - YearStart(year) + 1;
  int month = 1;
  while (rest > DaysInMonth(year, month)) rest -= DaysInMonth(year, month++);
  *parts = {year, month, rest};
  return true;
}

int Weekday(int32_t date) {
  if (date < kFirstDate || date > kLastDate) return -1;
  return date % 7;  // day 0, 28 December 1800, was a Sunday
}

bool PackDate(int32_t date, uint8_t packed[4]) {
  CalendarDate parts;
  if (date == 0) {
    parts = {0, 0, 0};
  } else if (!DateParts(date, &parts)) {
    return false;
  }
  packed[0] = static_cast<uint8_t>(parts.day);
  packed[1] = static_cast<uint8_t>(parts.month);
  packed[2] = static_cast<uint8_t>(parts.year & 0xff);
  packed[3] = static_cast<uint8_t>(parts.year >> 8);
  return true;
}

bool UnpackDate(const uint8_t packed[4], int32_t* date) {
  int year = packed[2] | packed[3] << 8;
  if (packed[0] == 0 && packed[1] == 0 && year == 0) {
    *date = 0;
    return true;
  }
  // A stored year below 100 is a year, not a two-digit year to expand.
  if (year < 100) return false;
  int32_t n = DateFrom(packed[1], packed[0], year, kDefaultYearWindow, 0);
  if (n < 0) return false;
  *date = n;
  return true;
}

}  // namespace ledora::runtime
