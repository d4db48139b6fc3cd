#include "runtime/values/pattern_picture.h"

#include "runtime/values/wide_units.h"

namespace ledora::runtime {

namespace {

constexpr int kMaxDigitPositions = 38;

bool IsDigitPosition(char c) { return c == '<' || c == '#'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

PatternPicture::PatternPicture(std::string pattern, bool blankWhenZero)
    : pattern_(std::move(pattern)), blankWhenZero_(blankWhenZero) {
  for (char c : pattern_) digitPositions_ += IsDigitPosition(c) ? 1 : 0;
}

std::unique_ptr<PatternPicture> PatternPicture::Compile(std::string_view rest, std::string* error) {
  bool blank = false;
  if (!rest.empty() && (rest.back() == 'B' || rest.back() == 'b') && rest.size() >= 2 &&
      (rest[rest.size() - 2] == 'P' || rest[rest.size() - 2] == 'p')) {
    blank = true;
    rest.remove_suffix(1);
  }
  if (rest.empty() || (rest.back() != 'P' && rest.back() != 'p')) {
    if (error) *error = "pattern picture must end with P";
    return nullptr;
  }
  rest.remove_suffix(1);
  auto picture = std::make_unique<PatternPicture>(std::string(rest), blank);
  if (picture->digitPositions_ > kMaxDigitPositions) {
    if (error) *error = "pattern picture has more than 38 digit positions";
    return nullptr;
  }
  return picture;
}

std::string PatternPicture::Format(const Decimal& value) const {
  Decimal whole = value.Rescaled(0);
  if (whole.IsZero() && blankWhenZero_) return std::string(width(), ' ');
  __int128 units = whole.units();
  bool signPending = units < 0;
  std::string digits = UnitsToDigits(signPending ? -units : units);
  if (static_cast<int>(digits.size()) > digitPositions_) return std::string(width(), '#');
  digits.insert(0, digitPositions_ - digits.size(), '0');
  std::string out;
  size_t next = 0;
  int suppressed = 0;
  bool leading = true;
  for (char c : pattern_) {
    if (!IsDigitPosition(c)) {
      out.push_back(c);
      continue;
    }
    char digit = digits[next++];
    if (leading && c == '<' && digit == '0') {
      ++suppressed;
      continue;
    }
    leading = false;
    if (signPending) {
      // The minus takes the place of a suppressed leading position.
      if (suppressed == 0) return std::string(width(), '#');
      out.push_back('-');
      signPending = false;
    }
    out.push_back(digit);
  }
  return out;
}

std::string PatternPicture::Format(std::string_view text) const {
  Decimal value;
  if (!Deformat(text, &value)) value = ParseLeadingNumber(text);
  return Format(value);
}

void PatternPicture::ReadRun(std::string_view shown, size_t* pos, int length, bool first,
                             __int128* value, bool* negative) const {
  while (*pos < shown.size() && shown[*pos] == ' ') ++*pos;
  if (first && *pos < shown.size() && shown[*pos] == '-') {
    *negative = true;
    ++*pos;
  }
  int read = 0;
  __int128 run = 0;
  while (read < length && *pos < shown.size() && IsDigit(shown[*pos])) {
    run = run * 10 + (shown[(*pos)++] - '0');
    ++read;
  }
  *value = *value * Pow10(length) + run;
}

bool PatternPicture::Deformat(std::string_view shown, Decimal* value) const {
  if (shown.find_first_not_of(' ') == std::string_view::npos) {
    *value = Decimal();
    return true;
  }
  size_t pos = 0;
  __int128 result = 0;
  bool negative = false;
  bool first = true;
  for (size_t i = 0; i < pattern_.size();) {
    if (IsDigitPosition(pattern_[i])) {
      size_t end = i;
      while (end < pattern_.size() && IsDigitPosition(pattern_[end])) ++end;
      ReadRun(shown, &pos, static_cast<int>(end - i), first, &result, &negative);
      first = false;
      i = end;
      continue;
    }
    // A literal blank may be missing where leading positions closed up.
    if (pos < shown.size() && shown[pos] == pattern_[i]) {
      ++pos;
    } else if (pattern_[i] != ' ') {
      return false;
    }
    ++i;
  }
  if (shown.find_first_not_of(' ', pos) != std::string_view::npos) return false;
  *value = Decimal::FromUnits(negative ? -result : result, 0);
  return true;
}

bool PatternPicture::Deformat(std::string_view shown, std::string* text) const {
  Decimal value;
  if (!Deformat(shown, &value)) return false;
  *text = value.ToString();
  return true;
}

}  // namespace ledora::runtime
