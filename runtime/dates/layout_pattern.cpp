#include <cctype>

#include "runtime/dates/picture_layout.h"

namespace ledora::runtime {
namespace {

// One or two digit positions: a single letter leaves a leading zero blank.
void AddTwoDigits(PictureLayout* layout, PositionCode code, size_t count) {
  layout->Add(code, count == 1 ? ' ' : '0');
  layout->Add(code, '0');
}

// Adds the positions of a run of count equal letters; false for a letter that
// is no field.
bool AddLetterRun(char letter, size_t count, PictureLayout* layout) {
  switch (letter) {
    case 'd':
      if (count <= 2) {
        AddTwoDigits(layout, PositionDay, count);
      } else {
        layout->Add(PositionWeekdayName, ' ', count == 3 ? 3 : 9);
      }
      return true;
    case 'M':
      if (count <= 2) {
        AddTwoDigits(layout, PositionMonth, count);
      } else {
        layout->Add(PositionMonthName, ' ', count == 3 ? 3 : 12);
      }
      return true;
    case 'y':
      layout->Add(PositionYear, '0', count <= 2 ? 2 : 4);
      return true;
    case 'h':
      layout->set_twelve_hour(true);
      [[fallthrough]];
    case 'H':
      AddTwoDigits(layout, PositionHour, count);
      return true;
    case 'm':
      AddTwoDigits(layout, PositionMinute, count);
      return true;
    case 's':
      AddTwoDigits(layout, PositionSecond, count);
      return true;
    case 't':
      layout->Add(PositionAmPm, ' ');
      if (count > 1) layout->Add(PositionLiteral, 'M');
      return true;
    default:
      return false;
  }
}

// Copies a quoted literal starting after the opening quote; returns the index
// after the closing quote. "''" inside stands for one quote.
size_t AddQuoted(std::string_view pattern, size_t i, PictureLayout* layout) {
  while (i < pattern.size()) {
    if (pattern[i] == '\'') {
      if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
        layout->Add(PositionLiteral, '\'');
        i += 2;
        continue;
      }
      return i + 1;
    }
    layout->Add(PositionLiteral, pattern[i++]);
  }
  return i;
}

}  // namespace

bool LayoutFromPattern(std::string_view pattern, PictureLayout* layout) {
  bool anyField = false;
  size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\'') {
      i = AddQuoted(pattern, i + 1, layout);
    } else if (std::isalpha(u) && u < 0x80) {
      size_t run = 1;
      while (i + run < pattern.size() && pattern[i + run] == c) ++run;
      if (AddLetterRun(c, run, layout)) {
        anyField = true;
      } else if (c != 'g') {  // era marks have no place in this calendar
        layout->Add(PositionLiteral, c, static_cast<int>(run));
      }
      i += run;
    } else {
      bool separator = u < 0x80 && (c == ' ' || std::ispunct(u));
      layout->Add(separator ? PositionSeparator : PositionLiteral, c);
      ++i;
    }
  }
  return anyField;
}

}  // namespace ledora::runtime
