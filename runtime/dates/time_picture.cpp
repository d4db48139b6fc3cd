#include "runtime/dates/time_picture.h"

#include <cctype>
#include <vector>

#include "runtime/dates/locale_formats.h"
#include "runtime/dates/standard_time.h"
#include "runtime/dates/typed_text.h"

namespace ledora::runtime {
namespace {

constexpr std::string_view kPatterns[6] = {"H:mm",    "Hmm",   "h:mmtt",
                                           "H:mm:ss", "Hmmss", "h:mm:sstt"};

bool HasHour(const PictureLayout& layout) { return layout.Has(PositionHour); }

constexpr DateTimeKind kTime = {
    'T', "time", kPatterns, &LocaleFormats::shortTime, &LocaleFormats::longTime, HasHour};

LayoutValues TimeValues(int32_t time) {
  ClockTime t;
  if (!TimeParts(time, &t)) return {};
  return {.valid = true,
          .hours = t.hours,
          .minutes = t.minutes,
          .seconds = t.seconds,
          .amPm = t.hours < 12 ? 'A' : 'P'};
}

// 'A', 'P', or 0 when word is no AM/PM marker.
char MarkerOf(std::string_view word) {
  if (word.empty() || word.size() > 2) return 0;
  char first = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
  if (first != 'A' && first != 'P') return 0;
  if (word.size() == 2 && std::toupper(static_cast<unsigned char>(word[1])) != 'M') return 0;
  return first;
}

// Hours, minutes, seconds and hundredths from the digit words; one long word
// is read as digits typed without separators ("0905", "210530").
bool ReadParts(const std::vector<TypedWord>& words, int parts[4]) {
  if (words.size() == 1 && words[0].text.size() > 2) {
    std::string_view d = words[0].text;
    if (d.size() > 6) return false;
    size_t hourDigits = 2 - d.size() % 2;
    parts[0] = WordNumber({true, d.substr(0, hourDigits)}, 2);
    for (size_t at = hourDigits, i = 1; at < d.size(); at += 2, ++i) {
      parts[i] = WordNumber({true, d.substr(at, 2)}, 2);
    }
    return true;
  }
  if (words.size() > 4) return false;
  for (size_t i = 0; i < words.size(); ++i) {
    parts[i] = WordNumber(words[i], 2);
    if (parts[i] < 0) return false;
  }
  return true;
}

// Digits at their printed places, fill and all ("@T*5" shows "14*259"); -1
// when the text is not laid out so.
int32_t TimeAtPositions(const PictureLayout& layout, std::string_view text) {
  std::vector<FieldNumber> numbers;
  if (!layout.ReadPositions(text, &numbers)) return -1;
  int parts[3] = {0, 0, 0};
  for (const FieldNumber& n : numbers) {
    if (n.field.code < PositionHour || n.field.code > PositionSecond) return -1;
    parts[n.field.code - PositionHour] = n.value;
  }
  return TimeFrom(parts[0], parts[1], parts[2], 0);
}

// Digit words and an optional AM/PM word at the end; -1 when they are no time.
int32_t TimeFromWords(std::vector<TypedWord> words) {
  char marker = 0;
  if (!words.back().digits) {
    marker = MarkerOf(words.back().text);
    if (marker == 0) return -1;
    words.pop_back();
  }
  if (words.empty()) return -1;
  for (const TypedWord& w : words) {
    if (!w.digits) return -1;
  }
  int parts[4] = {0, 0, 0, 0};
  if (!ReadParts(words, parts)) return -1;
  if (marker != 0) {
    if (parts[0] < 1 || parts[0] > 12) return -1;
    parts[0] = parts[0] % 12 + (marker == 'P' ? 12 : 0);
  }
  return TimeFrom(parts[0], parts[1], parts[2], parts[3]);
}

}  // namespace

std::unique_ptr<TimePicture> TimePicture::Compile(std::string_view picture, std::string* error) {
  PictureOptions options;
  PictureLayout layout;
  if (!DateTimePicture::Compile(picture, kTime, &options, &layout, error)) return nullptr;
  return std::make_unique<TimePicture>(options, std::move(layout));
}

TimePicture::TimePicture(const PictureOptions& options, PictureLayout layout)
    : DateTimePicture(options, std::move(layout)) {}

std::string TimePicture::Format(int32_t time) const { return Print(time, TimeValues); }

bool TimePicture::Deformat(std::string_view text, int32_t* time) const {
  return Read(text, time, [&](std::string_view text, const std::vector<TypedWord>& words) {
    int32_t t = TimeAtPositions(layout_, text);
    return t < 0 ? TimeFromWords(words) : t;
  });
}

}  // namespace ledora::runtime
