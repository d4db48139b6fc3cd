// The parts of a numeric picture ("@n-13.2", "@N~$~12.`2", "@n4~%~"), read
// from its text. NumberPicture formats with it; the designer's picture editor
// can use it to show a typed picture's options.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

enum NumberSign { SignNone, SignLeading, SignTrailing, SignParens };

struct NumberFormat {
  std::string prefix;  // between "~" before the size
  std::string suffix;  // between "~" after the places
  NumberSign sign = SignNone;
  char fill = 0;  // 0 none (blanks with grouping), '0', ' ' (written "_") or '*'
  int size = 0;   // every character shown, prefix and suffix included
  int places = 0;
  char grouping = 0;  // '.', ' ' (written "_"), '-', or 0 for the default
  char point = '.';   // '.', ',' (written "`"), or 0 for an implied point ("V")
  bool blankWhenZero = false;

  // The separator actually printed between thousands: none with a fill,
  // else the written one, else ',' (or '.' when the point is a comma).
  char GroupSeparator() const;
};

// Reads the text after the "N" (and any "@"); false with a reason on a
// character that has no place in a numeric picture, an unclosed "~", or a
// missing size.
bool ParseNumberFormat(std::string_view text, NumberFormat* format, std::string* error);

}  // namespace ledora::runtime
