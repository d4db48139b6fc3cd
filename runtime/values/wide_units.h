// Arithmetic helpers shared by the decimal and packed-decimal code: powers of
// ten, rounding division and a wide integer for intermediate results that
// would overflow 128 bits (products, scaled dividends).
#pragma once

#include <boost/multiprecision/cpp_int.hpp>
#include <string>

#include "runtime/values/decimal.h"

namespace ledora::runtime {

using WideInt = boost::multiprecision::int512_t;

// The largest magnitude a Decimal holds: 38 nines, so every value prints in
// at most 38 digits and negation never overflows.
inline constexpr __int128 kMaxUnits =
    static_cast<__int128>(10'000'000'000'000'000'000ULL) * 10'000'000'000'000'000'000ULL - 1;

__int128 Pow10(int n);  // 0 <= n <= 38
WideInt ToWide(__int128 v);
__int128 FromWideExact(const WideInt& v);  // v must fit
WideInt ScaleUp(const WideInt& v, int n);  // v * 10^n, n >= 0
// v * 10^n without the wide type; false when the result would pass kMaxUnits.
bool ScaleUpFast(__int128 v, int n, __int128* out);

// Quotient rounded half away from zero; divisor must not be 0.
__int128 DivideRounded(__int128 n, __int128 d);
WideInt DivideRounded(const WideInt& n, const WideInt& d);

// Rounds away places beyond the maximum and, while the value is too large,
// drops places; a value too large even as a whole number saturates.
Decimal FromWide(WideInt units, int places);

// The units of value at places when value is the double nearest to them
// and they have at most 15 digits; false otherwise (then only the wide
// arithmetic through the value's shortest text is exact).
bool ExactUnits(double value, int places, int64_t* units);

// Decimal digits of a non-negative value, "0" for zero.
std::string UnitsToDigits(__int128 v);

}  // namespace ledora::runtime
