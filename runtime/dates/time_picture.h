// A compiled time picture ("@t1", "@T4_", "@T6B", "@T7"): prints a standard
// time as text and reads typed text back. The general Picture wraps it;
// entries, browse columns and reports use it through that. Formats 7 and 8
// are the locale's time without and with seconds, read when the picture
// compiles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/dates/date_time_picture.h"

namespace ledora::runtime {

class TimePicture : public DateTimePicture {
 public:
  // nullptr on a malformed picture; error (when given) says what is wrong.
  static std::unique_ptr<TimePicture> Compile(std::string_view picture,
                                              std::string* error = nullptr);
  // Compile is the way in; this takes what it has worked out.
  TimePicture(const PictureOptions& options, PictureLayout layout);

  // Always width() characters; a time that is not valid shows only the
  // separators and literals, and 0 shows all blank with "B".
  std::string Format(int32_t time) const;
  // False on text that is no valid time of day, leaving *time unchanged.
  // Blank text reads as 0. Accepts "9:05", "0905", "9:05 pm", "21:05:30".
  bool Deformat(std::string_view text, int32_t* time) const;
};

}  // namespace ledora::runtime
