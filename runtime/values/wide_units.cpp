#include "runtime/values/wide_units.h"

#include <algorithm>
#include <vector>

namespace ledora::runtime {

namespace {

struct Pow10Table {
  __int128 values[39];
  constexpr Pow10Table() : values() {
    __int128 v = 1;
    for (int i = 0; i <= 38; ++i) {
      values[i] = v;
      if (i < 38) v *= 10;
    }
  }
};

constexpr Pow10Table kPow10;

const WideInt& WidePow10(int n) {
  static const std::vector<WideInt> table = [] {
    std::vector<WideInt> t;
    WideInt v = 1;
    for (int i = 0; i <= 120; ++i, v *= 10) t.push_back(v);
    return t;
  }();
  return table[std::clamp(n, 0, 120)];
}

}  // namespace

__int128 Pow10(int n) { return kPow10.values[std::clamp(n, 0, 38)]; }

WideInt ToWide(__int128 v) {
  bool negative = v < 0;
  unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(v) : v;
  WideInt w = static_cast<uint64_t>(magnitude >> 64);
  w <<= 64;
  w |= static_cast<uint64_t>(magnitude);
  return negative ? WideInt(-w) : w;
}

__int128 FromWideExact(const WideInt& v) {
  WideInt magnitude = abs(v);
  uint64_t low = static_cast<uint64_t>(magnitude & UINT64_MAX);
  uint64_t high = static_cast<uint64_t>((magnitude >> 64) & UINT64_MAX);
  __int128 result = (static_cast<__int128>(high) << 64) | low;
  return v < 0 ? -result : result;
}

WideInt ScaleUp(const WideInt& v, int n) { return n <= 0 ? v : v * WidePow10(n); }

bool ScaleUpFast(__int128 v, int n, __int128* out) {
  if (n < 0 || n > 38) return false;
  __int128 r;
  if (__builtin_mul_overflow(v, Pow10(n), &r) || r > kMaxUnits || r < -kMaxUnits) return false;
  *out = r;
  return true;
}

__int128 DivideRounded(__int128 n, __int128 d) {
  __int128 q = n / d;
  __int128 r = n % d;
  if (r < 0) r = -r;
  __int128 ad = d < 0 ? -d : d;
  if (r >= ad - r) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return q;
}

WideInt DivideRounded(const WideInt& n, const WideInt& d) {
  WideInt q = n / d;
  WideInt r = abs(n % d);
  WideInt ad = abs(d);
  if (r >= ad - r) q += ((n < 0) != (d < 0)) ? -1 : 1;
  return q;
}

Decimal FromWide(WideInt units, int places) {
  if (places > Decimal::kMaxPlaces) {
    units = DivideRounded(units, WidePow10(places - Decimal::kMaxPlaces));
    places = Decimal::kMaxPlaces;
  }
  const WideInt limit = ToWide(kMaxUnits);
  while (abs(units) > limit && places > 0) {
    units = DivideRounded(units, WideInt(10));
    --places;
  }
  if (units > limit) units = limit;
  if (units < -limit) units = -limit;
  return Decimal::FromUnits(FromWideExact(units), std::max(places, 0));
}

std::string UnitsToDigits(__int128 v) {
  if (v == 0) return "0";
  char buf[48];
  int i = sizeof buf;
  while (v > 0) {
    buf[--i] = static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  }
  return std::string(buf + i, sizeof buf - i);
}

}  // namespace ledora::runtime
