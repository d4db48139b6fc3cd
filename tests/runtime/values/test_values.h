// Shorthands for the value tests: decimals from text, printed as text when
// an expectation fails.
#pragma once

#include <ostream>

#include "runtime/values/decimal.h"

namespace ledora::runtime {

inline Decimal D(const char* text) { return Decimal::Parse(text).value(); }
inline Decimal D(const std::string& text) { return Decimal::Parse(text).value(); }

inline void PrintTo(const Decimal& value, std::ostream* os) { *os << value.ToString(); }

}  // namespace ledora::runtime
