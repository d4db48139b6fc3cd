#include <cstring>

#include "runtime/values/decimal.h"
#include "runtime/values/wide_units.h"

namespace ledora::runtime {

namespace {

constexpr int kMaxPackedSize = 16;

bool ValidShape(const void* field, int size, int places) {
  return field != nullptr && size >= 1 && size <= kMaxPackedSize && places >= 0 &&
         places <= 2 * size - 1 && places <= Decimal::kMaxPlaces;
}

int Nibble(const uint8_t* bytes, int index) {
  uint8_t b = bytes[index / 2];
  return index % 2 == 0 ? b >> 4 : b & 0x0F;
}

void WriteDigits(__int128 magnitude, bool negative, uint8_t* bytes, int size) {
  int digits = 2 * size - 1;
  uint8_t out[kMaxPackedSize] = {};
  int i = digits;
  // Most amounts fit 64 bits, whose division is far cheaper than 128 bits'.
  for (; i >= 1 && magnitude > UINT64_MAX; --i) {
    int digit = static_cast<int>(magnitude % 10);
    magnitude /= 10;
    out[i / 2] |= i % 2 == 0 ? digit << 4 : digit;
  }
  for (uint64_t low = static_cast<uint64_t>(magnitude); i >= 1 && low != 0; --i) {
    int digit = static_cast<int>(low % 10);
    low /= 10;
    out[i / 2] |= i % 2 == 0 ? digit << 4 : digit;
  }
  if (negative) out[0] |= 0xF0;
  std::memcpy(bytes, out, size);
}

}  // namespace

bool TryUnpackDecimal(const void* field, int size, int places, Decimal* value) {
  if (!ValidShape(field, size, places)) return false;
  const auto* bytes = static_cast<const uint8_t*>(field);
  __int128 units = 0;
  for (int i = 1; i < 2 * size; ++i) {
    int digit = Nibble(bytes, i);
    if (digit > 9) return false;
    units = units * 10 + digit;
  }
  if (Nibble(bytes, 0) != 0) units = -units;
  *value = Decimal::FromUnits(units, places);
  return true;
}

Decimal UnpackDecimal(const void* field, int size, int places) {
  Decimal value;
  if (!TryUnpackDecimal(field, size, places, &value)) return Decimal();
  return value;
}

bool PackDecimal(const Decimal& value, void* field, int size, int places) {
  if (!ValidShape(field, size, places)) return false;
  Decimal rounded = value.Rescaled(places);
  if (rounded.places() != places) return false;  // too large to carry the places
  __int128 magnitude = rounded.units() < 0 ? -rounded.units() : rounded.units();
  if (magnitude >= Pow10(2 * size - 1)) return false;
  WriteDigits(magnitude, rounded.units() < 0 && magnitude != 0, static_cast<uint8_t*>(field), size);
  return true;
}

void PackDecimalWrapped(const Decimal& value, void* field, int size, int places) {
  if (!ValidShape(field, size, places)) return;
  Decimal rounded = value.Rescaled(places);
  __int128 units = rounded.units();
  if (rounded.places() != places) {
    // Too large for this many places: only the low digits matter anyway.
    units = FromWideExact(ScaleUp(ToWide(units), places - rounded.places()) %
                          ToWide(Pow10(2 * size - 1)));
  }
  __int128 magnitude = (units < 0 ? -units : units) % Pow10(2 * size - 1);
  WriteDigits(magnitude, units < 0 && magnitude != 0, static_cast<uint8_t*>(field), size);
}

}  // namespace ledora::runtime
