// Exact decimal numbers. A Decimal is a whole count of 10^-places units, so
// prices and totals add, multiply and round without the drift of binary
// floating point. The packed DECIMAL record fields convert to and from it.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledora::runtime {

class Decimal {
 public:
  // A packed DECIMAL of n bytes holds 2n-1 digits; 16 bytes is the largest.
  static constexpr int kMaxDigits = 31;
  static constexpr int kMaxPlaces = 30;

  Decimal() = default;
  Decimal(int64_t whole) : units_(whole), places_(0) {}  // NOLINT: numbers mix freely
  static Decimal FromUnits(__int128 units, int places);
  // Nearest value with the given places, halves away from zero.
  static Decimal FromDouble(double value, int places);
  // Accepts an optional sign, digits and one '.'; nothing else.
  static std::optional<Decimal> Parse(std::string_view text);

  __int128 units() const { return units_; }
  int places() const { return places_; }
  bool IsZero() const { return units_ == 0; }
  bool IsNegative() const { return units_ < 0; }

  // Rounds half away from zero when places shrink.
  Decimal Rescaled(int places) const;
  Decimal Truncated(int places) const;
  int64_t ToInt64() const;  // the whole part, truncated toward zero
  double ToDouble() const;
  // Plain text with exactly places() decimals: "-12.50", "7".
  std::string ToString() const;

  Decimal operator-() const;
  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  // Division keeps max(places of a, places of b, 10) places, rounded.
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  friend bool operator==(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

 private:
  __int128 units_ = 0;
  int places_ = 0;
};

// A packed DECIMAL field: size bytes of BCD, 2*size-1 digits, the sign in
// the first nibble. Pack rounds to places; it returns false (field
// untouched) when the value has more whole digits than the field holds.
Decimal UnpackDecimal(const void* field, int size, int places);
bool PackDecimal(const Decimal& value, void* field, int size, int places);

}  // namespace ledora::runtime
