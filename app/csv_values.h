// The text of a record field in the jobs' CSV and back: strings as UTF-8,
// dates as ISO dates (YYYY-MM-DD), numbers and decimals exact.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/values/record_layout.h"

namespace ledora::app {

// A value as a CSV field, quoted where it must be.
std::string CsvField(const std::string& text);
void AppendCsvField(const std::string& text, std::string* out);

std::string ValueText(const runtime::FieldDescriptor& descriptor, const runtime::FieldRef& field);

// The standard date of an ISO date, or nothing.
std::optional<int32_t> IsoDate(const std::string& text);

// Stores text into field; empty when stored, else why not (never the whole
// of a long text).
// Why text, the start of a longer value, cannot be stored in such a field.
std::string CutValueFault(const runtime::FieldDescriptor& descriptor, const std::string& text);

std::string StoreValue(const runtime::FieldDescriptor& descriptor, const runtime::FieldRef& field,
                       const std::string& text);

}  // namespace ledora::app
