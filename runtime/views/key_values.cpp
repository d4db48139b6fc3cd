#include "runtime/views/key_values.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace ledora::runtime {

namespace {

Decimal Limit(const FieldRef& field, bool high) {
  switch (field.type) {
    case FieldByte:
      return high ? 255 : 0;
    case FieldShort:
      return high ? INT16_MAX : INT16_MIN;
    case FieldUShort:
      return high ? UINT16_MAX : 0;
    case FieldULong:
      return high ? static_cast<int64_t>(UINT32_MAX) : 0;
    case FieldDecimal: {
      int digits = std::max(1, std::min<int>(2 * static_cast<int>(field.size) - 1, 31));
      __int128 nines = 1;
      for (int i = 0; i < digits; ++i) nines *= 10;
      nines -= 1;
      return Decimal::FromUnits(high ? nines : -nines, field.places);
    }
    default:  // LONG, DATE, TIME
      return high ? INT32_MAX : INT32_MIN;
  }
}

void SetExtreme(const FieldRef& field, bool high) {
  if (field.address == nullptr) return;
  if (field.type == FieldString) {
    memset(field.address, high ? 0xFF : ' ', field.size);
  } else if (field.type == FieldText) {
    SetText(field, high ? std::string(255, '\xFF') : std::string());
  } else if (field.type == FieldReal) {
    double value = high ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    memcpy(field.address, &value, sizeof value);
  } else {
    SetNumber(field, Limit(field, high));
  }
}

}  // namespace

void SetLowest(const FieldRef& field) { SetExtreme(field, false); }
void SetHighest(const FieldRef& field) { SetExtreme(field, true); }

void SetClamped(const FieldRef& field, const ExpressionValue& value) {
  if (!field.IsNumeric()) {
    SetText(field, value.text());
    return;
  }
  Decimal number = value.number();
  if (field.type != FieldReal) {
    if (number > Limit(field, true)) return SetHighest(field);
    if (number < Limit(field, false)) return SetLowest(field);
  }
  SetNumber(field, number);
}

}  // namespace ledora::runtime
