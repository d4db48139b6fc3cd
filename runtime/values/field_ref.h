// A reference to a variable of any of the system's field types: record
// fields, window variables, queue columns. Field pairs, window use variables,
// report variables, expression bindings and the storage driver all read and
// write values through it, so the conversions between types live here once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/values/decimal.h"

namespace ledora::runtime {

enum FieldType : uint8_t {
  FieldByte = 1,  // uint8_t
  FieldShort,     // int16_t
  FieldUShort,    // uint16_t
  FieldLong,      // int32_t
  FieldULong,     // uint32_t
  FieldReal,      // double
  FieldDecimal,   // packed BCD of size bytes and places decimals
  FieldString,    // char[size], blank-padded, Windows-1252
  FieldDate,      // int32_t standard date
  FieldTime,      // int32_t standard time
  FieldText,      // std::string of any length (program variables only)
};

struct FieldRef {
  FieldType type = FieldLong;
  void* address = nullptr;
  uint32_t size = 0;   // bytes of the variable
  uint8_t places = 0;  // decimals of a FieldDecimal

  bool IsNumeric() const { return type != FieldString && type != FieldText; }

  static FieldRef Of(uint8_t& v) { return {FieldByte, &v, 1, 0}; }
  static FieldRef Of(int16_t& v) { return {FieldShort, &v, 2, 0}; }
  static FieldRef Of(uint16_t& v) { return {FieldUShort, &v, 2, 0}; }
  static FieldRef Of(int32_t& v) { return {FieldLong, &v, 4, 0}; }
  static FieldRef Of(uint32_t& v) { return {FieldULong, &v, 4, 0}; }
  static FieldRef Of(double& v) { return {FieldReal, &v, 8, 0}; }
  static FieldRef Of(std::string& v) { return {FieldText, &v, 0, 0}; }
  template <size_t N>
  static FieldRef Of(char (&v)[N]) {
    return {FieldString, v, N, 0};
  }
  static FieldRef Date(int32_t& v) { return {FieldDate, &v, 4, 0}; }
  static FieldRef Time(int32_t& v) { return {FieldTime, &v, 4, 0}; }
  static FieldRef Packed(void* field, uint32_t size, uint8_t places) {
    return {FieldDecimal, field, size, places};
  }
};

// Numbers as exact decimals; a string reads as its leading number, or 0.
Decimal GetNumber(const FieldRef& field);
// Strings clipped of trailing blanks; numbers in plain decimal text.
std::string GetText(const FieldRef& field);
// Assignments convert like the runtime's: strings are blank-padded or cut,
// numbers rounded to the target's places and wrapped to integer widths.
void SetNumber(const FieldRef& field, const Decimal& value);
void SetText(const FieldRef& field, std::string_view text);
void Assign(const FieldRef& to, const FieldRef& from);
void Clear(const FieldRef& field);  // blanks or zero
// Strings compare clipped (case-sensitive); numbers by value; a string and a
// number compare as numbers.
int Compare(const FieldRef& a, const FieldRef& b);
inline bool Equal(const FieldRef& a, const FieldRef& b) { return Compare(a, b) == 0; }

}  // namespace ledora::runtime
