#include "runtime/values/field_ref.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

template <typename T>
T Load(const FieldRef& f) {
  T v;
  std::memcpy(&v, f.address, sizeof v);
  return v;
}

template <typename T>
void Store(const FieldRef& f, T v) {
  std::memcpy(f.address, &v, sizeof v);
}

bool IsText(const FieldRef& f) { return f.type == FieldString || f.type == FieldText; }

// Integer targets take the rounded value modulo 2^64 and then their width,
// the way a two's complement store truncates.
uint64_t WrappedInteger(const Decimal& value) {
  __int128 whole = value.Rescaled(0).units();
  return static_cast<uint64_t>(static_cast<unsigned __int128>(whole));
}

std::string_view StringField(const FieldRef& f) {
  return std::string_view(static_cast<const char*>(f.address), f.size);
}

std::string RealText(double v) {
  if (!std::isfinite(v)) return "0";
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

}  // namespace

Decimal GetNumber(const FieldRef& field) {
  if (field.address == nullptr) return Decimal();
  switch (field.type) {
    case FieldByte:
      return Load<uint8_t>(field);
    case FieldShort:
      return Load<int16_t>(field);
    case FieldUShort:
      return Load<uint16_t>(field);
    case FieldLong:
    case FieldDate:
    case FieldTime:
      return Load<int32_t>(field);
    case FieldULong:
      return static_cast<int64_t>(Load<uint32_t>(field));
    case FieldReal:
      return Decimal::FromDouble(Load<double>(field));
    case FieldDecimal:
      return UnpackDecimal(field.address, field.size, field.places);
    case FieldString:
      return ParseLeadingNumber(StringField(field));
    case FieldText:
      return ParseLeadingNumber(*static_cast<const std::string*>(field.address));
  }
  return Decimal();
}

std::string GetText(const FieldRef& field) {
  if (field.address == nullptr) return std::string();
  switch (field.type) {
    case FieldString:
      return std::string(Clip(StringField(field)));
    case FieldText:
      return *static_cast<const std::string*>(field.address);
    case FieldReal:
      return RealText(Load<double>(field));
    default:
      return GetNumber(field).ToString();
  }
}

void SetNumber(const FieldRef& field, const Decimal& value) {
  if (field.address == nullptr) return;
  switch (field.type) {
    case FieldByte:
      return Store(field, static_cast<uint8_t>(WrappedInteger(value)));
    case FieldShort:
      return Store(field, static_cast<int16_t>(WrappedInteger(value)));
    case FieldUShort:
      return Store(field, static_cast<uint16_t>(WrappedInteger(value)));
    case FieldLong:
    case FieldDate:
    case FieldTime:
      return Store(field, static_cast<int32_t>(WrappedInteger(value)));
    case FieldULong:
      return Store(field, static_cast<uint32_t>(WrappedInteger(value)));
    case FieldReal:
      return Store(field, value.ToDouble());
    case FieldDecimal:
      return PackDecimalWrapped(value, field.address, field.size, field.places);
    case FieldString:
    case FieldText:
      return SetText(field, value.ToString());
  }
}

void SetText(const FieldRef& field, std::string_view text) {
  if (field.address == nullptr) return;
  if (field.type == FieldString) {
    AssignPadded(static_cast<char*>(field.address), field.size, text);
  } else if (field.type == FieldText) {
    static_cast<std::string*>(field.address)->assign(text);
  } else {
    SetNumber(field, ParseLeadingNumber(text));
  }
}

void Assign(const FieldRef& to, const FieldRef& from) {
  if (to.address == nullptr) return;
  if (from.address == nullptr) return Clear(to);
  if (IsText(to)) return SetText(to, GetText(from));
  // A double copied through a decimal would lose digits beyond its places.
  if (to.type == FieldReal && from.type == FieldReal) return Store(to, Load<double>(from));
  SetNumber(to, GetNumber(from));
}

void Clear(const FieldRef& field) {
  if (field.address == nullptr) return;
  if (field.type == FieldString) {
    std::memset(field.address, ' ', field.size);
  } else if (field.type == FieldText) {
    static_cast<std::string*>(field.address)->clear();
  } else if (field.type == FieldDecimal) {
    PackDecimalWrapped(Decimal(), field.address, field.size, field.places);
  } else {
    SetNumber(field, Decimal());
  }
}

int Compare(const FieldRef& a, const FieldRef& b) {
  if (IsText(a) && IsText(b)) {
    std::string ta = GetText(a), tb = GetText(b);
    int c = CompareClipped(ta, tb);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  auto order = GetNumber(a) <=> GetNumber(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace ledora::runtime
