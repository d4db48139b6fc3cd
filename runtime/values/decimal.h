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
  // The shortest decimal that reads back as the same double (0.1 is 0.1).
  // Infinities and NaN give 0.
  static Decimal FromDouble(double value);
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
  // Results keep all their places up to kMaxPlaces (then round); a result
  // beyond 38 digits gives up places, and saturates at 38 nines as a whole.
  // Division keeps max(places of a, places of b, 10) places, rounded; a
  // division by zero gives 0.
  friend Decimal operator/(const Decimal& a, const Decimal& b);
  friend bool operator==(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

 private:
  __int128 units_ = 0;
  int places_ = 0;
};

// The number a text starts with after leading blanks ("12.5kg" is 12.5), or
// 0 when it starts with none; how strings read as numbers.
Decimal ParseLeadingNumber(std::string_view text);

// A packed DECIMAL field: size bytes of BCD, 2*size-1 digits, the sign in
// the first nibble. Pack rounds to places; it returns false (field
// untouched) when the value has more whole digits than the field holds.
// Sign nibble: Pack writes 0x0 for zero and positive values and 0xF for
// negative ones; Unpack reads any non-zero sign nibble as negative.
// Sizes run 1..16 and places 0..2*size-1; other shapes unpack as 0 and do
// not pack.
Decimal UnpackDecimal(const void* field, int size, int places);
bool PackDecimal(const Decimal& value, void* field, int size, int places);
// PackDecimal(Decimal::FromDouble(value, places), ...), without building
// the Decimal for the prices and totals that records read back.
bool PackDecimalFromDouble(double value, void* field, int size, int places);
// As UnpackDecimal, but false for a damaged field (a digit nibble above 9,
// a bad shape), which UnpackDecimal reads as 0.
bool TryUnpackDecimal(const void* field, int size, int places, Decimal* value);
// Keeps the low 2*size-1 digits of the rounded value, the way an integer
// assignment wraps; for assignments that must always store something.
void PackDecimalWrapped(const Decimal& value, void* field, int size, int places);

}  // namespace ledora::runtime
