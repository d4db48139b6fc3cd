#include "designer/picture_options.h"

#include <algorithm>
#include <cctype>

namespace ledora::designer {

namespace {

std::string TrimRight(std::string_view text) {
  size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string() : std::string(text.substr(0, end + 1));
}

std::string Repeat(char c, int count) { return std::string(std::max(0, count), c); }

char Separator(const PictureOptions& o) {
  return o.separator >= 1 && o.separator <= kSeparators ? kSeparatorChars[o.separator - 1] : ' ';
}

// The example row with its separator character replaced by the chosen one.
std::string CalendarExample(std::string_view row, char replaced, char separator) {
  std::string example(row);
  if (separator == ' ') return example;
  char shown = separator == '_' ? ' ' : separator == '`' ? ',' : separator;
  std::replace(example.begin(), example.end(), replaced, shown);
  return example;
}

BuiltPicture BuildCalendar(const PictureOptions& o, std::string_view rowExample) {
  bool date = o.type == PictureTypeDate;
  BuiltPicture built;
  built.picture = date ? "@D" : "@T";
  if (o.leadingZero) built.picture += '0';
  built.picture += std::to_string(date ? o.dateFormat : o.timeFormat);
  char separator = Separator(o);
  if (separator != ' ') built.picture += separator;
  if (o.blankWhenZero) built.picture += 'B';
  built.example = CalendarExample(rowExample, date ? '/' : ':', separator);
  return built;
}

char GroupChar(const PictureOptions& o) {
  switch (o.grouping) {
    case PictureGroupPeriod:
      return '.';
    case PictureGroupSpace:
      return ' ';
    case PictureGroupHyphen:
      return '-';
    default:
      return o.decimalPoint == PictureDecimalPtComma ? '.' : ',';
  }
}

BuiltPicture BuildNumeric(const PictureOptions& o) {
  int remaining = o.totalSize;
  std::string picture = "@N";
  std::string example;
  std::string prefix = TrimRight(o.prefix);
  std::string suffix = TrimRight(o.suffix);
  if (!prefix.empty()) {
    picture += "~" + prefix + "~";
    example = prefix;
    remaining -= static_cast<int>(prefix.size());
  }
  if (o.sign == PictureSignLeading) {
    picture += '-';
    example += '-';
    --remaining;
  }
  if (o.filling == PictureFillZero) picture += '0';
  if (o.filling == PictureFillSpace) picture += '_';
  if (o.filling == PictureFillAsterisk) {
    picture += '*';
    example += '*';
    --remaining;
  }
  const int digitsStart = static_cast<int>(example.size());
  picture += std::to_string(o.totalSize);
  if (o.grouping == PictureGroupPeriod) picture += '.';
  if (o.grouping == PictureGroupSpace) picture += '_';
  if (o.grouping == PictureGroupHyphen) picture += '-';
  if (o.decimalPoint == PictureDecimalPtNone) {
    picture += 'V';
  } else {
    picture += o.decimalPoint == PictureDecimalPtPeriod ? '.' : '`';
    if (o.places > 0) --remaining;
  }
  picture += std::to_string(o.places);
  remaining -= o.places;
  if (o.sign == PictureSignTrailing) {
    picture += '-';
    --remaining;
  }
  if (!suffix.empty()) {
    picture += "~" + suffix + "~";
    remaining -= static_cast<int>(suffix.size());
  }
  if (o.blankWhenZero) picture += 'B';

  if (o.filling == PictureFillZero) {
    example += Repeat('#', remaining);
  } else {
    example += Repeat('<', remaining - 1) + "#";
  }
  if (o.filling == PictureFillNone) {
    // Every fourth position from the right, as far as the digits go.
    for (int pos = static_cast<int>(example.size()) - 3;
         pos >= digitsStart + 2 && example[pos - 1] == '<'; pos -= 4) {
      example[pos - 1] = GroupChar(o);
    }
  }
  if (o.places > 0) {
    if (o.decimalPoint == PictureDecimalPtPeriod) example += '.';
    if (o.decimalPoint == PictureDecimalPtComma) example += ',';
    example += Repeat('#', o.places);
  }
  if (o.sign == PictureSignTrailing) example += '-';
  example += suffix;
  return {picture, example};
}

int DigitsFrom(std::string_view text, size_t start) {
  int value = 0;
  for (size_t i = start; i < text.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(text[i])) && value < 100000) {
      value = value * 10 + (text[i] - '0');
    }
  }
  return value;
}

void ReadCalendar(std::string text, PictureOptions* o) {
  int rows = o->type == PictureTypeDate ? kDateFormats : kTimeFormats;
  o->leadingZero = text.size() > 2 && text[2] == '0';
  if (text.size() > 2 && std::toupper(static_cast<unsigned char>(text.back())) == 'B') {
    o->blankWhenZero = true;
    text.pop_back();
  }
  o->separator = 1;
  for (int row = 2; row <= kSeparators && text.size() > 2; ++row) {
    if (text.back() == kSeparatorChars[row - 1]) {
      o->separator = row;
      text.pop_back();
      break;
    }
  }
  int format = DigitsFrom(text, 2);
  // A format number the lists lack shows as their first row.
  if (format < 1 || format > rows) format = 1;
  (o->type == PictureTypeDate ? o->dateFormat : o->timeFormat) = format;
}

// The scan's states: before, inside and after the prefix, in the total
// size, in the places, inside and after the suffix.
enum ScanState {
  ScanStart,
  ScanPrefix,
  ScanAfterPrefix,
  ScanTotal,
  ScanPlaces,
  ScanSuffix,
  ScanAfterSuffix
};

void ReadNumeric(std::string_view text, PictureOptions* o) {
  int state = ScanStart;
  size_t textStart = 0;
  int total = 0;
  int places = 0;
  for (size_t i = 2; i < text.size(); ++i) {
    char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    char next = i + 1 < text.size()
                    ? static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])))
                    : '\0';
    if (c == '~') {
      if (state == ScanStart) {
        state = ScanPrefix;
        textStart = i + 1;
      } else if (state == ScanPrefix) {
        state = ScanAfterPrefix;
        o->prefix = std::string(text.substr(textStart, i - textStart));
      } else if (state == ScanTotal || state == ScanPlaces) {
        state = ScanSuffix;
        textStart = i + 1;
      } else if (state == ScanSuffix) {
        state = ScanAfterSuffix;
        o->suffix = std::string(text.substr(textStart, i - textStart));
      }
      continue;
    }
    if (state == ScanPrefix || state == ScanSuffix) continue;
    if (c == '-') {
      if (state <= ScanAfterPrefix) {
        o->sign = PictureSignLeading;
      } else if (state == ScanTotal) {
        o->grouping = PictureGroupHyphen;
      } else {
        o->sign = PictureSignTrailing;
      }
    } else if (c == '0' && state <= ScanAfterPrefix) {
      o->filling = PictureFillZero;
    } else if (c >= '0' && c <= '9') {
      if (state == ScanPlaces) {
        places = places < 100 ? places * 10 + (c - '0') : places;
      } else {
        state = ScanTotal;
        total = total < 100 ? total * 10 + (c - '0') : total;
      }
    } else if (c == '_') {
      if (state < ScanTotal) {
        o->filling = PictureFillSpace;
      } else {
        o->grouping = PictureGroupSpace;
      }
    } else if (c == '*') {
      o->filling = PictureFillAsterisk;
    } else if (c == '.') {
      if (next == '.' || next == '`' || next == 'V') {
        o->grouping = PictureGroupPeriod;
      } else {
        o->decimalPoint = PictureDecimalPtPeriod;
        state = ScanPlaces;
      }
    } else if (c == '`' || c == 'V') {
      o->decimalPoint = c == '`' ? PictureDecimalPtComma : PictureDecimalPtNone;
      state = ScanPlaces;
    } else if (c == 'B') {
      o->blankWhenZero = true;
    }
  }
  o->totalSize = total == 0 ? 20 : total;
  o->places = total == 0 ? 2 : places;
  if (o->filling != PictureFillNone) o->grouping = PictureGroupDefault;
}

}  // namespace

BuiltPicture BuildPicture(const PictureOptions& options, std::string_view rowExample) {
  switch (options.type) {
    case PictureTypeString:
      return {"@S" + std::to_string(options.stringSize), Repeat('$', options.stringSize)};
    case PictureTypeNumeric:
      return BuildNumeric(options);
    case PictureTypeDate:
    case PictureTypeTime:
      return BuildCalendar(options, rowExample);
    case PictureTypeManual:
      break;
  }
  return {options.manual, {}};
}

PictureOptions ReadPicture(std::string_view picture) {
  PictureOptions o;
  if (picture.empty()) return o;
  char letter = picture.size() > 1
                    ? static_cast<char>(std::toupper(static_cast<unsigned char>(picture[1])))
                    : '\0';
  switch (letter) {
    case 'N':
      o.type = PictureTypeNumeric;
      ReadNumeric(picture, &o);
      break;
    case 'D':
    case 'T':
      o.type = letter == 'D' ? PictureTypeDate : PictureTypeTime;
      ReadCalendar(std::string(picture), &o);
      break;
    case 'S':
      o.type = PictureTypeString;
      o.stringSize = DigitsFrom(picture, 2);
      break;
    default:
      o.type = PictureTypeManual;
      o.manual = std::string(picture);
      break;
  }
  return o;
}

}  // namespace ledora::designer
