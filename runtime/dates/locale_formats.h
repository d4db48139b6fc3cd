// The date and time formats of the user's locale, in the pattern notation of
// LayoutFromPattern. Date pictures 17 and 18 and time pictures 7 and 8 are
// built from them.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

struct LocaleFormats {
  std::string shortDate = "MM/dd/yy";
  std::string longDate = "ddd', 'MMMM' 'dd', 'yyyy";
  std::string shortTime = "HH:mm";
  std::string longTime = "HH:mm:ss";
};

// localeName "" reads the locale the environment selects (LC_ALL, LC_TIME,
// LANG). A C or POSIX locale, an unknown name or a format that cannot be
// converted leaves the defaults above.
LocaleFormats ReadLocaleFormats(const char* localeName = "");

// Converts a strftime format ("%d.%m.%Y") to the pattern notation
// ("dd'.'MM'.'yyyy" with separators left bare). Empty when the format uses a
// conversion that has no place in a picture (%j, %U, %c ...) or non-ASCII text.
std::string PatternFromStrftime(std::string_view format);

// The same, leaving out hours, minutes, seconds, AM/PM and time zone with the
// separator that goes with each: a date alone from a date-and-time format.
std::string DatePatternFromStrftime(std::string_view format);

// The same, leaving out the seconds: the short form of a time format.
std::string ShortTimePatternFromStrftime(std::string_view format);

}  // namespace ledora::runtime
