#include "runtime/values/number_picture.h"

#include "runtime/values/wide_units.h"

namespace ledora::runtime {

namespace {

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::string Grouped(std::string_view digits, char separator) {
  if (separator == 0) return std::string(digits);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(separator);
    out.push_back(digits[i]);
  }
  return out;
}

bool TakePrefix(std::string_view* s, std::string_view prefix) {
  if (prefix.empty() || s->substr(0, prefix.size()) != prefix) return false;
  *s = Trim(s->substr(prefix.size()));
  return true;
}

bool TakeSuffix(std::string_view* s, std::string_view suffix) {
  if (suffix.empty() || s->size() < suffix.size() ||
      s->substr(s->size() - suffix.size()) != suffix) {
    return false;
  }
  *s = Trim(s->substr(0, s->size() - suffix.size()));
  return true;
}

// Removes one sign mark at either end; true when it found one.
bool TakeSign(std::string_view* s) {
  if (s->empty()) return false;
  if (s->front() == '-' || s->front() == '(') {
    *s = Trim(s->substr(1));
    if (!s->empty() && s->back() == ')') *s = Trim(s->substr(0, s->size() - 1));
    return true;
  }
  if (s->back() == '-' || s->back() == ')') {
    *s = Trim(s->substr(0, s->size() - 1));
    return true;
  }
  return false;
}

}  // namespace

std::string NumberPicture::Body(const Decimal& rounded) const {
  __int128 units = rounded.units() < 0 ? -rounded.units() : rounded.units();
  std::string digits = UnitsToDigits(units);
  int places = format_.places;
  if (static_cast<int>(digits.size()) <= places) digits.insert(0, places + 1 - digits.size(), '0');
  std::string body =
      Grouped(std::string_view(digits).substr(0, digits.size() - places), format_.GroupSeparator());
  if (places > 0) {
    if (format_.point != 0) body.push_back(format_.point);
    body.append(digits, digits.size() - places);
  }
  return body;
}

std::string NumberPicture::Format(const Decimal& value) const {
  const NumberFormat& f = format_;
  Decimal rounded = value.Rescaled(f.places);
  if (rounded.places() != f.places) return std::string(f.size, '#');
  if (rounded.IsZero() && f.blankWhenZero) return std::string(f.size, ' ');
  bool negative = rounded.IsNegative();
  bool floating = f.fill == 0 || f.fill == ' ';
  std::string lead, trail;
  if (f.sign == SignParens) {
    lead = negative ? "(" : (floating ? "" : " ");
    trail = negative ? ")" : " ";
  } else if (f.sign == SignTrailing) {
    trail = negative ? "-" : " ";
  } else if (negative || (f.sign == SignLeading && !floating)) {
    lead = negative ? "-" : " ";
  }
  std::string body = Body(rounded);
  int pad = f.size - static_cast<int>(f.prefix.size() + lead.size() + body.size() + trail.size() +
                                      f.suffix.size());
  if (pad < 0) return std::string(f.size, '#');
  std::string out;
  out.reserve(f.size);
  if (floating) {
    out.append(pad, ' ');
    out += f.prefix + lead;
  } else {
    out += f.prefix + lead;
    out.append(pad, f.fill);
  }
  out += body + trail + f.suffix;
  return out;
}

std::string NumberPicture::Format(std::string_view text) const {
  Decimal value;
  if (!Deformat(text, &value)) value = ParseLeadingNumber(text);
  return Format(value);
}

bool NumberPicture::ReadDigits(std::string_view s, std::string* plain) const {
  char group = format_.GroupSeparator();
  if (group == 0) group = format_.point == ',' ? '.' : ',';
  // An implied point shows no point, but a typed '.' still means one.
  char point = format_.point != 0 ? format_.point : (group == '.' ? 0 : '.');
  // With the same mark for both, only the last one can be the point, and
  // none is when the picture shows no places.
  size_t lastPoint = point == 0 || format_.places == 0 ? std::string_view::npos : s.rfind(point);
  bool sawPoint = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      plain->push_back(c);
    } else if (point != 0 && c == point && (group != point || i == lastPoint) && !sawPoint) {
      sawPoint = true;
      plain->push_back('.');
    } else if (c != group && !(c == '*' && plain->empty())) {
      return false;
    }
  }
  if (plain->find_first_of("0123456789") == std::string::npos) return false;
  if (plain->back() == '.') plain->push_back('0');
  if (!sawPoint && format_.point == 0 && format_.places > 0) {
    if (static_cast<int>(plain->size()) <= format_.places) {
      plain->insert(0, format_.places + 1 - plain->size(), '0');
    }
    plain->insert(plain->size() - format_.places, 1, '.');
  }
  return true;
}

bool NumberPicture::Deformat(std::string_view shown, Decimal* value) const {
  std::string_view s = Trim(shown);
  if (s.empty()) {
    *value = Decimal().Rescaled(format_.places);
    return true;
  }
  if (s.find_first_not_of('#') == std::string_view::npos) return false;
  bool negative = TakeSign(&s);
  TakePrefix(&s, Trim(format_.prefix));
  TakeSuffix(&s, Trim(format_.suffix));
  negative = TakeSign(&s) || negative;
  if (!s.empty() && s.front() == '+') s = Trim(s.substr(1));
  std::string plain;
  if (!ReadDigits(s, &plain)) return false;
  std::optional<Decimal> parsed = Decimal::Parse(plain);
  if (!parsed) return false;
  Decimal result = parsed->Rescaled(format_.places);
  *value = negative ? -result : result;
  return true;
}

bool NumberPicture::Deformat(std::string_view shown, std::string* text) const {
  Decimal value;
  if (!Deformat(shown, &value)) return false;
  *text = value.ToString();
  return true;
}

}  // namespace ledora::runtime
