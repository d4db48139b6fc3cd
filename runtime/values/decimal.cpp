#include "runtime/values/decimal.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "runtime/values/wide_units.h"

namespace ledora::runtime {

namespace {

int ClampPlaces(int places) {
  return places < 0 ? 0 : (places > Decimal::kMaxPlaces ? Decimal::kMaxPlaces : places);
}

// Most sums fit in 128 bits once both sides share a scale; only the rest
// needs the wide type.
bool AddFast(const Decimal& a, const Decimal& b, int sign, Decimal* out) {
  int places = std::max(a.places(), b.places());
  __int128 ua, ub, sum;
  if (!ScaleUpFast(a.units(), places - a.places(), &ua) ||
      !ScaleUpFast(b.units(), places - b.places(), &ub) ||
      __builtin_add_overflow(ua, sign * ub, &sum) || sum > kMaxUnits || sum < -kMaxUnits) {
    return false;
  }
  *out = Decimal::FromUnits(sum, places);
  return true;
}

Decimal AddScaled(const Decimal& a, const Decimal& b, int sign) {
  Decimal fast;
  if (AddFast(a, b, sign, &fast)) return fast;
  int places = std::max(a.places(), b.places());
  WideInt sum = ScaleUp(ToWide(a.units()), places - a.places()) +
                sign * ScaleUp(ToWide(b.units()), places - b.places());
  return FromWide(sum, places);
}

}  // namespace

// The units of value at places when value is the double nearest to them and
// they have at most 15 digits: then the shortest text of value is exactly
// those units, so the answer is the same as through the text, without the
// wide arithmetic. Records read back prices and totals this way.
bool ExactUnits(double value, int places, int64_t* units) {
  static constexpr double kScale[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  if (places < 0 || places > 15) return false;
  double scaled = value * kScale[places];
  if (!(std::fabs(scaled) < 1e15)) return false;  // also refuses NaN
  // Rounds halves away from zero as llround does, without its library call;
  // where the sum itself rounds the wrong way, the check below refuses it.
  auto candidate = static_cast<int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
  if (static_cast<double>(candidate) / kScale[places] != value) return false;
  *units = candidate;
  return true;
}

Decimal Decimal::FromUnits(__int128 units, int places) {
  if (places >= 0 && places <= kMaxPlaces && units <= kMaxUnits && units >= -kMaxUnits) {
    Decimal d;
    d.units_ = units;
    d.places_ = places;
    return d;
  }
  if (places < 0) return FromWide(ScaleUp(ToWide(units), -places), 0);
  return FromWide(ToWide(units), places);
}

Decimal Decimal::FromDouble(double value, int places) {
  int64_t units = 0;
  if (ExactUnits(value, places, &units)) return FromUnits(units, places);
  return FromDouble(value).Rescaled(places);
}

Decimal Decimal::FromDouble(double value) {
  if (!std::isfinite(value)) return Decimal();
  if (std::fabs(value) >= 1e38) return FromUnits(value < 0 ? -kMaxUnits : kMaxUnits, 0);
  // The shortest text that reads back as the same double is what the user
  // meant: 2.675 rounds to 2.68, not to the 2.67 its binary value is nearest.
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
  if (ec != std::errc()) return Decimal();
  std::string_view text(buf, end - buf);
  std::string_view whole = text.substr(0, text.find('.'));
  size_t point = text.find('.');
  std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
  bool negative = !whole.empty() && whole[0] == '-';
  if (negative) whole.remove_prefix(1);
  WideInt units = 0;
  for (char c : whole) units = units * 10 + (c - '0');
  // Cutting digits beyond the last place that can matter keeps rounding exact.
  if (fraction.size() > kMaxPlaces + 2) fraction = fraction.substr(0, kMaxPlaces + 2);
  for (char c : fraction) units = units * 10 + (c - '0');
  if (negative) units = -units;
  return FromWide(units, static_cast<int>(fraction.size()));
}

std::optional<Decimal> Decimal::Parse(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  WideInt units = 0;
  int places = 0;
  bool seenPoint = false;
  bool seenDigit = false;
  for (char c : text) {
    if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else if (c >= '0' && c <= '9') {
      seenDigit = true;
      // Digits far past the last representable place cannot change the result.
      if (places > kMaxPlaces + 2) continue;
      units = units * 10 + (c - '0');
      if (seenPoint) ++places;
      if (!seenPoint && units > ToWide(kMaxUnits)) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (!seenDigit) return std::nullopt;
  return FromWide(negative ? WideInt(-units) : units, places);
}

Decimal ParseLeadingNumber(std::string_view text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string_view::npos) return Decimal();
  size_t end = i;
  if (text[end] == '-' || text[end] == '+') ++end;
  bool seenPoint = false;
  while (end < text.size() &&
         ((text[end] >= '0' && text[end] <= '9') || (text[end] == '.' && !seenPoint))) {
    seenPoint = seenPoint || text[end] == '.';
    ++end;
  }
  return Decimal::Parse(text.substr(i, end - i)).value_or(Decimal());
}

Decimal Decimal::Rescaled(int places) const {
  places = ClampPlaces(places);
  if (places == places_) return *this;
  __int128 scaled;
  if (places > places_ && ScaleUpFast(units_, places - places_, &scaled)) {
    return FromUnits(scaled, places);
  }
  if (places > places_) return FromWide(ScaleUp(ToWide(units_), places - places_), places);
  return FromUnits(DivideRounded(units_, Pow10(places_ - places)), places);
}

Decimal Decimal::Truncated(int places) const {
  places = ClampPlaces(places);
  if (places >= places_) return Rescaled(places);
  return FromUnits(units_ / Pow10(places_ - places), places);
}

int64_t Decimal::ToInt64() const {
  __int128 whole = units_ / Pow10(places_);
  if (whole > INT64_MAX) return INT64_MAX;
  if (whole < INT64_MIN) return INT64_MIN;
  return static_cast<int64_t>(whole);
}

double Decimal::ToDouble() const {
  // Through text so the result is the double nearest the exact value.
  return std::strtod(ToString().c_str(), nullptr);
}

std::string Decimal::ToString() const {
  std::string digits = UnitsToDigits(units_ < 0 ? -units_ : units_);
  if (places_ > 0) {
    if (static_cast<int>(digits.size()) <= places_) {
      digits.insert(0, places_ + 1 - digits.size(), '0');
    }
    digits.insert(digits.size() - places_, 1, '.');
  }
  if (units_ < 0) digits.insert(0, 1, '-');
  return digits;
}

Decimal Decimal::operator-() const { return FromUnits(-units_, places_); }

Decimal operator+(const Decimal& a, const Decimal& b) { return AddScaled(a, b, 1); }

Decimal operator-(const Decimal& a, const Decimal& b) { return AddScaled(a, b, -1); }

Decimal operator*(const Decimal& a, const Decimal& b) {
  __int128 product;
  int places = a.places() + b.places();
  if (places <= Decimal::kMaxPlaces && !__builtin_mul_overflow(a.units(), b.units(), &product) &&
      product <= kMaxUnits && product >= -kMaxUnits) {
    return Decimal::FromUnits(product, places);
  }
  return FromWide(ToWide(a.units()) * ToWide(b.units()), a.places() + b.places());
}

Decimal operator/(const Decimal& a, const Decimal& b) {
  if (b.IsZero()) return Decimal();
  int places = std::max({a.places(), b.places(), 10});
  // a/b = (ua * 10^(places - pa + pb) / ub) * 10^-places
  __int128 scaled;
  if (ScaleUpFast(a.units(), places - a.places() + b.places(), &scaled)) {
    return Decimal::FromUnits(DivideRounded(scaled, b.units()), places);
  }
  WideInt numerator = ScaleUp(ToWide(a.units()), places - a.places() + b.places());
  return FromWide(DivideRounded(numerator, ToWide(b.units())), places);
}

bool operator==(const Decimal& a, const Decimal& b) { return (a <=> b) == 0; }

std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
  if (a.places() == b.places()) return a.units() <=> b.units();
  int places = std::max(a.places(), b.places());
  __int128 ua, ub;
  if (ScaleUpFast(a.units(), places - a.places(), &ua) &&
      ScaleUpFast(b.units(), places - b.places(), &ub)) {
    return ua <=> ub;
  }
  WideInt wa = ScaleUp(ToWide(a.units()), places - a.places());
  WideInt wb = ScaleUp(ToWide(b.units()), places - b.places());
  if (wa < wb) return std::strong_ordering::less;
  if (wa > wb) return std::strong_ordering::greater;
  return std::strong_ordering::equal;
}

}  // namespace ledora::runtime
