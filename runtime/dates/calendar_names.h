// The English month and weekday names that date pictures print and read back.
#pragma once

#include <string_view>

namespace ledora::runtime {

std::string_view MonthName(int month);          // "October"; empty outside 1 to 12
std::string_view MonthAbbreviation(int month);  // "Oct"
std::string_view WeekdayName(int weekday);      // 0 "Sunday" to 6 "Saturday"
std::string_view WeekdayAbbreviation(int weekday);

// The month (1 to 12) whose name starts with word, at least three letters,
// in any letter case; 0 when none does.
int MonthFromName(std::string_view word);
// The same for weekdays: 0 to 6, or -1.
int WeekdayFromName(std::string_view word);

}  // namespace ledora::runtime
