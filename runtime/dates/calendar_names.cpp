#include "runtime/dates/calendar_names.h"

#include "runtime/system/ascii_case.h"

namespace ledora::runtime {
namespace {

constexpr std::string_view kMonths[12] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
constexpr std::string_view kWeekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                           "Thursday", "Friday", "Saturday"};

bool StartsNameOf(std::string_view word, std::string_view name) {
  return word.size() >= 3 && StartsIgnoringAsciiCase(name, word);
}

}  // namespace

std::string_view MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonths[month - 1] : std::string_view();
}

std::string_view MonthAbbreviation(int month) { return MonthName(month).substr(0, 3); }

std::string_view WeekdayName(int weekday) {
  return weekday >= 0 && weekday <= 6 ? kWeekdays[weekday] : std::string_view();
}

std::string_view WeekdayAbbreviation(int weekday) { return WeekdayName(weekday).substr(0, 3); }

int MonthFromName(std::string_view word) {
  for (int m = 0; m < 12; ++m) {
    if (StartsNameOf(word, kMonths[m])) return m + 1;
  }
  return 0;
}

int WeekdayFromName(std::string_view word) {
  for (int d = 0; d < 7; ++d) {
    if (StartsNameOf(word, kWeekdays[d])) return d;
  }
  return -1;
}

}  // namespace ledora::runtime
