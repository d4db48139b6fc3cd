// The picture editor's options and the two rules between them and a picture
// text: building a picture (with its example) from options, and reading a
// picture back into options. Kept apart from the dialog so that every rule
// can be checked without a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::designer {

enum PictureType {
  PictureTypeString,
  PictureTypeNumeric,
  PictureTypeDate,
  PictureTypeTime,
  PictureTypeManual
};
enum PictureSign { PictureSignNone, PictureSignLeading, PictureSignTrailing };
enum PictureFill { PictureFillNone, PictureFillSpace, PictureFillAsterisk, PictureFillZero };
enum PictureGroup {
  PictureGroupDefault,
  PictureGroupPeriod,
  PictureGroupSpace,
  PictureGroupHyphen
};
enum PictureDecimalPt { PictureDecimalPtNone, PictureDecimalPtPeriod, PictureDecimalPtComma };

inline constexpr int kDateFormats = 16;
inline constexpr int kTimeFormats = 6;
inline constexpr int kSeparators = 5;
// The separator rows' characters: default (none), period, dash, space, comma.
inline constexpr char kSeparatorChars[kSeparators] = {' ', '.', '-', '_', '`'};

struct PictureOptions {
  PictureType type = PictureTypeString;
  int stringSize = 20;
  int totalSize = 20;
  int places = 2;
  PictureSign sign = PictureSignNone;
  PictureFill filling = PictureFillNone;
  PictureGroup grouping = PictureGroupDefault;
  PictureDecimalPt decimalPoint = PictureDecimalPtPeriod;
  std::string prefix;
  std::string suffix;
  bool blankWhenZero = false;
  bool leadingZero = false;
  int dateFormat = 1;  // row of the date list
  int timeFormat = 1;  // row of the time list
  int separator = 1;   // row of the separator list
  std::string manual;  // the picture as typed, for the manual type
};

struct BuiltPicture {
  std::string picture;
  std::string example;
};

// rowExample: the example text of the chosen date or time row (unused for
// the other types).
BuiltPicture BuildPicture(const PictureOptions& options, std::string_view rowExample = {});

// The options a picture stands for. A type letter the editor does not know
// makes a manual picture; unknown characters are skipped.
PictureOptions ReadPicture(std::string_view picture);

}  // namespace ledora::designer
