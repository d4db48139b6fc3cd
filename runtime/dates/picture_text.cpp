#include "runtime/dates/picture_text.h"

#include <cctype>

namespace ledora::runtime {
namespace {

constexpr std::string_view kFills = "0_*";
constexpr std::string_view kSeparators = ".-_`";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Fail(std::string* error, std::string message) {
  if (error) *error = std::move(message);
  return false;
}

// Reads at most maxDigits digits at *i into *value; false when more follow.
bool ReadNumber(std::string_view s, size_t* i, size_t maxDigits, int* value) {
  size_t start = *i;
  *value = 0;
  while (*i < s.size() && IsDigit(s[*i])) {
    if (*i - start == maxDigits) return false;
    *value = *value * 10 + (s[(*i)++] - '0');
  }
  return true;
}

// "<" n keeps n years back; ">" n keeps n years ahead.
int WindowFrom(char mark, int n) {
  if (mark == '<') return n == 0 ? 80 : n;
  return n == 0 ? 19 : 99 - n;
}

// What may follow a date's format number: a window and a separator, each at
// most once, in either order.
bool ParseDateTail(std::string_view s, size_t i, PictureOptions* options, std::string* error) {
  bool windowSeen = false;
  while (i < s.size()) {
    char c = s[i];
    if ((c == '<' || c == '>') && !windowSeen) {
      int n = 0;
      ++i;
      if (!ReadNumber(s, &i, 2, &n)) return Fail(error, "year window must be 0 to 99");
      options->window = WindowFrom(c, n);
      windowSeen = true;
    } else if (kSeparators.find(c) != std::string_view::npos && options->separator == 0) {
      options->separator = c;
      ++i;
    } else {
      return Fail(error, std::string("unexpected '") + c + "' in date picture");
    }
  }
  return true;
}

}  // namespace

bool ParsePictureText(std::string_view text, char type, PictureOptions* options,
                      std::string* error) {
  // Pictures from records arrive blank-padded.
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  const char* kind = type == 'D' ? "date" : "time";
  if (text.empty() || std::toupper(static_cast<unsigned char>(text[0])) != type) {
    return Fail(error, std::string("not a ") + kind + " picture");
  }
  PictureOptions result;
  if (text.back() == 'B' || text.back() == 'b') {
    result.blankWhenZero = true;
    text.remove_suffix(1);
  }
  if (text.size() < 2) return Fail(error, std::string(kind) + " picture needs a format number");
  size_t i = 1;
  if (kFills.find(text[i]) != std::string_view::npos) result.fill = text[i++];
  if (type == 'T' && i < text.size() && kSeparators.find(text.back()) != std::string_view::npos) {
    result.separator = text.back();
    text.remove_suffix(1);
  }
  size_t digitsStart = i;
  if (!ReadNumber(text, &i, 2, &result.format)) {
    return Fail(error, std::string("unknown ") + kind + " format");
  }
  if (i == digitsStart) return Fail(error, std::string(kind) + " picture needs a format number");
  if (type == 'D') {
    if (!ParseDateTail(text, i, &result, error)) return false;
  } else if (i < text.size()) {
    return Fail(error, std::string("unexpected '") + text[i] + "' in time picture");
  }
  *options = result;
  return true;
}

}  // namespace ledora::runtime
