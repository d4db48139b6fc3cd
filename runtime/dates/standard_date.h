// The standard date: a signed 32-bit day number (4 is 1 January 1801, 0 is
// "no date"). Record fields, pictures, forms and reports hold every date in
// this form; these functions convert it to and from calendar dates.
#pragma once

#include <cstdint>

namespace ledora::runtime {

constexpr int32_t kFirstDate = 4;       // 1 January 1801
constexpr int32_t kLastDate = 2994626;  // 31 December 9999
constexpr int kDefaultYearWindow = 80;  // 80 years back, 19 ahead

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

bool IsLeapYear(int year);
// 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// The four-digit year ending in twoDigitYear (0 to 99) that lies between
// currentYear - window and currentYear + 99 - window; -1 outside 0 to 99.
int ExpandYear(int twoDigitYear, int window, int currentYear);
int ExpandYear(int twoDigitYear, int window = kDefaultYearWindow);  // this year

// -1 when the combination is not a date between 1801 and 9999. Years 0 to 99
// are expanded with the window first; negative years are rejected.
int32_t DateFrom(int month, int day, int year, int window, int currentYear);
int32_t DateFrom(int month, int day, int year);  // default window, this year

// False when date lies outside kFirstDate..kLastDate; parts is then untouched.
bool DateParts(int32_t date, CalendarDate* parts);

// 0 Sunday to 6 Saturday; -1 for an invalid date.
int Weekday(int32_t date);

// The 4-byte date storage form of records: day, month, year (16-bit little
// endian). Date 0 packs to four zero bytes and they unpack to 0. Pack fails on
// an invalid date, unpack on bytes that are no date; the output is then
// untouched.
bool PackDate(int32_t date, uint8_t packed[4]);
bool UnpackDate(const uint8_t packed[4], int32_t* date);

}  // namespace ledora::runtime
