// Describes a record struct field by field (label, type, offset, size), so
// that storage, expressions, field pairs and snapshots can work on any record
// without knowing its C++ type. Each record struct is packed and its size
// static_assert'ed against the declared record size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/values/field_ref.h"

namespace ledora::runtime {

struct FieldDescriptor {
  std::string label;  // "CUS:NAME"
  FieldType type = FieldLong;
  uint32_t offset = 0;
  uint32_t size = 0;
  uint8_t places = 0;
};

class RecordLayout {
 public:
  RecordLayout(std::string prefix, uint32_t recordSize, std::vector<FieldDescriptor> fields);

  const std::string& prefix() const { return prefix_; }  // "CUS"
  uint32_t recordSize() const { return recordSize_; }
  const std::vector<FieldDescriptor>& fields() const { return fields_; }

  // Finds "CUS:NAME", or "NAME" without the prefix; letter case is ignored.
  // Returns -1 when there is no such field.
  int Find(std::string_view label) const;
  FieldRef Bind(void* record, int fieldIndex) const;
  FieldRef Bind(void* record, std::string_view label) const;  // type FieldLong/null if missing

 private:
  std::string prefix_;
  uint32_t recordSize_;
  std::vector<FieldDescriptor> fields_;
};

}  // namespace ledora::runtime
