#include "runtime/values/record_layout.h"

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

// The field name after "PRE:", or the whole label when it has no prefix.
std::string_view NamePart(std::string_view label) {
  size_t colon = label.find(':');
  return colon == std::string_view::npos ? label : label.substr(colon + 1);
}

// Binding a field whose size does not match its type would let reads and
// writes run past it.
bool SizeFitsType(const FieldDescriptor& f) {
  switch (f.type) {
    case FieldByte:
      return f.size == 1;
    case FieldShort:
    case FieldUShort:
      return f.size == 2;
    case FieldLong:
    case FieldULong:
    case FieldDate:
    case FieldTime:
      return f.size == 4;
    case FieldReal:
      return f.size == 8;
    case FieldDecimal:
      return f.size >= 1 && f.size <= 16;
    case FieldString:
      return true;
    case FieldText:
      return false;  // a std::string cannot live in a record
  }
  return false;
}

}  // namespace

RecordLayout::RecordLayout(std::string prefix, uint32_t recordSize,
                           std::vector<FieldDescriptor> fields)
    : prefix_(std::move(prefix)), recordSize_(recordSize), fields_(std::move(fields)) {}

int RecordLayout::Find(std::string_view label) const {
  size_t colon = label.find(':');
  if (colon != std::string_view::npos && !EqualNoCase(label.substr(0, colon), prefix_)) {
    return -1;
  }
  std::string_view name = NamePart(label);
  if (name.empty()) return -1;
  for (size_t i = 0; i < fields_.size(); ++i) {
    // Blanks are significant in labels; EqualNoCase would clip them.
    std::string_view own = NamePart(fields_[i].label);
    if (own.size() == name.size() && EqualNoCase(own, name)) return static_cast<int>(i);
  }
  return -1;
}

FieldRef RecordLayout::Bind(void* record, int fieldIndex) const {
  if (record == nullptr || fieldIndex < 0 || fieldIndex >= static_cast<int>(fields_.size())) {
    return FieldRef{};
  }
  const FieldDescriptor& f = fields_[fieldIndex];
  // A descriptor that reaches past the record would bind memory that is not ours.
  if (uint64_t{f.offset} + f.size > recordSize_ || !SizeFitsType(f)) return FieldRef{};
  return FieldRef{f.type, static_cast<char*>(record) + f.offset, f.size, f.places};
}

FieldRef RecordLayout::Bind(void* record, std::string_view label) const {
  return Bind(record, Find(label));
}

}  // namespace ledora::runtime
