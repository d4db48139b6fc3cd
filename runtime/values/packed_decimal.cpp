#include <array>
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

// Two decimal digits as one packed byte, 0..99 to 0x00..0x99.
constexpr std::array<uint8_t, 100> kDigitPairs = [] {
  std::array<uint8_t, 100> pairs{};
  for (int i = 0; i < 100; ++i) pairs[i] = static_cast<uint8_t>((i / 10) << 4 | i % 10);
  return pairs;
}();

// magnitude must be below 10^(2*size-1). Every byte after the first holds
// two digits, so the digits go two at a time from the last byte back.
void WriteDigits(__int128 magnitude, bool negative, uint8_t* bytes, int size) {
  uint8_t out[kMaxPackedSize] = {};
  int byte = size - 1;
  // Most amounts fit 64 bits, whose division is far cheaper than 128 bits'.
  for (; byte >= 1 && magnitude > UINT64_MAX; --byte) {
    out[byte] = kDigitPairs[static_cast<int>(magnitude % 100)];
    magnitude /= 100;
  }
  uint64_t low = static_cast<uint64_t>(magnitude);
  for (; byte >= 1 && low != 0; --byte) {
    out[byte] = kDigitPairs[low % 100];
    low /= 100;
  }
  out[0] = static_cast<uint8_t>(low % 10);  // the first digit shares its byte with the sign
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

bool PackDecimalFromDouble(double value, void* field, int size, int places) {
  int64_t units = 0;
  if (!ValidShape(field, size, places) || !ExactUnits(value, places, &units)) {
    return PackDecimal(Decimal::FromDouble(value, places), field, size, places);
  }
  uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : units;
  if (magnitude >= Pow10(2 * size - 1)) return false;
  WriteDigits(magnitude, units < 0, static_cast<uint8_t*>(field), size);
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
