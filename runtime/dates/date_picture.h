// A compiled date picture ("@d6", "@D17", "@d1-", "@d2.>10", "@D06.B"): prints
// a standard date as text and reads typed text back. The general Picture wraps
// it; entries, browse columns and reports use it through that. Formats 17 and
// 18 are the locale's short and long date, read when the picture compiles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/dates/date_time_picture.h"

namespace ledora::runtime {

class DatePicture : public DateTimePicture {
 public:
  // nullptr on a malformed picture; error (when given) says what is wrong.
  static std::unique_ptr<DatePicture> Compile(std::string_view picture,
                                              std::string* error = nullptr);
  // Compile is the way in; this takes what it has worked out.
  DatePicture(const PictureOptions& options, PictureLayout layout);

  // Always width() characters; a date that is not valid shows only the
  // separators, and 0 shows all blank with "B".
  std::string Format(int32_t date) const;
  // False on text that is no valid date, leaving *date unchanged. Blank text
  // (or only separators) reads as 0. Two-digit years expand with the
  // picture's window around this year, or around currentYear.
  bool Deformat(std::string_view text, int32_t* date) const;
  bool Deformat(std::string_view text, int32_t* date, int currentYear) const;

  int window() const { return options_.window; }
};

}  // namespace ledora::runtime
