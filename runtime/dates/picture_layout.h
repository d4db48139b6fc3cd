// The position layout of a compiled date or time picture: one (fill, code)
// pair per printed character. DatePicture and TimePicture build one at compile
// time and print every value through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::runtime {

enum PositionCode : uint8_t {
  PositionLiteral = 0,
  PositionMonth = 7,
  PositionDay = 8,
  PositionYear = 9,
  PositionMonthName = 10,
  PositionHour = 11,
  PositionMinute = 12,
  PositionSecond = 13,
  PositionSeparator = 19,
  PositionAmPm = 20,
  PositionWeekdayName = 21,  // only in layouts taken from the locale
};

// For digit positions fill is what a leading zero prints as; literals and
// separators print their fill.
struct PicturePosition {
  char fill = ' ';
  PositionCode code = PositionLiteral;
};

// A run of neighbouring positions with one code.
struct LayoutField {
  PositionCode code = PositionLiteral;
  int start = 0;
  int length = 0;
};

// A number read from a digit field of typed text.
struct FieldNumber {
  LayoutField field;
  int value = 0;
};

// What a layout prints; when valid is false digit positions print blanks and
// name positions nothing.
struct LayoutValues {
  bool valid = false;
  int year = 0, month = 0, day = 0, weekday = 0;
  int hours = 0, minutes = 0, seconds = 0;
  char amPm = ' ';
};

class PictureLayout {
 public:
  void Add(PositionCode code, char fill, int count = 1);
  // Every digit and name position takes fill; "_" stands for a blank.
  void SetFill(char fill);
  // Every separator position prints separator; "_" is a blank, "`" a comma.
  void SetSeparator(char separator);
  // Three-letter names print in capitals ("OCT").
  void set_upper_names(bool upper) { upperNames_ = upper; }
  // Hours print 1 to 12.
  void set_twelve_hour(bool twelve) { twelveHour_ = twelve; }
  bool twelve_hour() const { return twelveHour_; }

  int width() const { return static_cast<int>(positions_.size()); }
  const std::vector<PicturePosition>& positions() const { return positions_; }
  std::vector<LayoutField> Fields() const;
  bool Has(PositionCode code) const;
  // Words of the layout's literal letters ("M" of "11:30PM"), which typed text
  // may repeat.
  std::vector<std::string> LiteralWords() const;

  // Always width() characters: names shorter than their positions close up
  // and leave blanks at the end.
  std::string Print(const LayoutValues& values) const;
  // Reads text laid out exactly as Print lays out digits (width() characters,
  // leading zeros possibly shown as fill): one number per digit field, in
  // order. False for layouts with names, or text that does not fit.
  bool ReadPositions(std::string_view text, std::vector<FieldNumber>* numbers) const;

 private:
  void PrintDigits(const LayoutField& field, int value, std::string* out, size_t* cursor) const;
  void PrintName(const LayoutField& field, const LayoutValues& values, std::string* out,
                 size_t* cursor) const;

  std::vector<PicturePosition> positions_;
  bool upperNames_ = false;
  bool twelveHour_ = false;
};

// Builds a layout from the pattern notation of locale settings: d dd ddd dddd,
// M MM MMM MMMM, yy yyyy, h hh (12-hour) H HH, mm, ss, t tt, quoted literals;
// other punctuation and blanks become separators. False when the pattern has
// no date or time field.
bool LayoutFromPattern(std::string_view pattern, PictureLayout* layout);

}  // namespace ledora::runtime
