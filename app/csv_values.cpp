#include "app/csv_values.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "runtime/dates/standard_date.h"
#include "runtime/values/cp1252.h"

namespace ledora::app {

namespace {

using runtime::FieldDescriptor;
using runtime::FieldRef;

// A value quoted in a message: a field may be megabytes long.
std::string Shown(const std::string& text) {
  constexpr size_t kShown = 40;
  if (text.size() <= kShown) return text;
  size_t end = kShown;
  // Never cut a UTF-8 character in two.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end) + "...";
}

bool Digits(const std::string& text, size_t from, size_t count) {
  for (size_t i = from; i < from + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

std::string StoreNumber(const FieldDescriptor& descriptor, const FieldRef& field,
                        const std::string& text) {
  std::optional<runtime::Decimal> number = runtime::Decimal::Parse(text);
  if (!number) return "is not a number: " + Shown(text);
  if (number->places() > descriptor.places) {
    return "has more than " + std::to_string(descriptor.places) + " decimals: " + Shown(text);
  }
  if (descriptor.type == runtime::FieldDecimal) {
    if (!runtime::PackDecimal(*number, field.address, static_cast<int>(field.size),
                              descriptor.places)) {
      return "is too large: " + Shown(text);
    }
    return {};
  }
  if (*number < runtime::Decimal(INT32_MIN) || *number > runtime::Decimal(INT32_MAX)) {
    return "is too large: " + Shown(text);
  }
  runtime::SetNumber(field, *number);
  return {};
}

}  // namespace

void AppendCsvField(const std::string& text, std::string* out) {
  // One pass over the text; find_first_of searches the set per character.
  bool plain = std::none_of(text.begin(), text.end(),
                            [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
  if (plain) {
    *out += text;
    return;
  }
  *out += '"';
  for (char c : text) {
    *out += c;
    if (c == '"') *out += '"';
  }
  *out += '"';
}

std::string CsvField(const std::string& text) {
  std::string out;
  AppendCsvField(text, &out);
  return out;
}

std::string ValueText(const FieldDescriptor& descriptor, const FieldRef& field) {
  switch (descriptor.type) {
    case runtime::FieldString:
      return runtime::Cp1252ToUtf8(runtime::GetText(field));
    case runtime::FieldDate: {
      int32_t date = static_cast<int32_t>(runtime::GetNumber(field).ToInt64());
      runtime::CalendarDate parts;
      if (date == 0 || !runtime::DateParts(date, &parts)) return {};
      char text[16];
      std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
      return text;
    }
    default:
      return runtime::GetNumber(field).ToString();
  }
}

std::optional<int32_t> IsoDate(const std::string& text) {
  // Digits only: a sign or a blank inside a part is no date.
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4) ||
      !Digits(text, 5, 2) || !Digits(text, 8, 2)) {
    return std::nullopt;
  }
  int year = std::stoi(text.substr(0, 4));
  int month = std::stoi(text.substr(5, 2));
  int day = std::stoi(text.substr(8, 2));
  if (year < 1801 || month < 1 || month > 12 || day < 1 ||
      day > runtime::DaysInMonth(year, month)) {
    return std::nullopt;
  }
  return runtime::DateFrom(month, day, year);
}

std::string CutValueFault(const FieldDescriptor& descriptor, const std::string& text) {
  switch (descriptor.type) {
    case runtime::FieldString:
      return "is longer than " + std::to_string(descriptor.size) + " characters";
    case runtime::FieldDate:
      return "is not a date (YYYY-MM-DD): " + Shown(text);
    default:
      return "is not a number: " + Shown(text);
  }
}

std::string StoreValue(const FieldDescriptor& descriptor, const FieldRef& field,
                       const std::string& text) {
  // A NUL would end the text early wherever the value is used as a C string.
  if (text.find('\0') != std::string::npos) return "has a NUL character";
  if (descriptor.type == runtime::FieldString) {
    if (text.size() > 4 * descriptor.size) return CutValueFault(descriptor, text);
    std::string bytes;
    if (!runtime::Utf8ToCp1252(text, &bytes)) return "has characters outside Windows-1252";
    if (bytes.size() > descriptor.size) return CutValueFault(descriptor, text);
    runtime::SetText(field, bytes);
    return {};
  }
  if (text.empty()) {
    runtime::Clear(field);
    return {};
  }
  if (descriptor.type == runtime::FieldDate) {
    std::optional<int32_t> date = IsoDate(text);
    if (!date) return "is not a date (YYYY-MM-DD): " + Shown(text);
    runtime::SetNumber(field, *date);
    return {};
  }
  return StoreNumber(descriptor, field, text);
}

}  // namespace ledora::app
