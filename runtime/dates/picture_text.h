// Reads the text of a date or time picture ("@D06.B", "@d2.>10", "@T4_")
// into its options; DatePicture and TimePicture compile from these.
#pragma once

#include <string>
#include <string_view>

namespace ledora::runtime {

struct PictureOptions {
  bool blankWhenZero = false;
  char fill = 0;  // 0 none, else '0', '_' or '*'
  int format = 0;
  int window = 80;     // two-digit-year window, dates only
  char separator = 0;  // 0 none, else '.', '-', '_' or '`'
};

// type is 'D' or 'T'; the leading "@" is optional and letter case of the type
// letter and "B" is ignored. False, with error filled when given, on a text
// that is no picture of that type.
bool ParsePictureText(std::string_view text, char type, PictureOptions* options,
                      std::string* error);

}  // namespace ledora::runtime
