#include "runtime/storage/file_declaration.h"

#include <set>

#include "runtime/storage/storage_name.h"
#include "runtime/system/ascii_case.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

namespace {

bool StoredType(FieldType type) { return type >= FieldByte && type <= FieldTime; }

uint32_t NaturalSize(const FieldDescriptor& field) {
  switch (field.type) {
    case FieldByte:
      return 1;
    case FieldShort:
    case FieldUShort:
      return 2;
    case FieldLong:
    case FieldULong:
    case FieldDate:
    case FieldTime:
      return 4;
    case FieldReal:
      return 8;
    default:
      return field.size;
  }
}

bool FieldFits(const FieldDescriptor& field, uint32_t recordSize) {
  if (!StoredType(field.type) || field.size == 0) return false;
  if (field.size != NaturalSize(field)) return false;
  if (field.type == FieldDecimal && (field.size > 16 || field.places > 2 * field.size - 1)) {
    return false;
  }
  return field.offset <= recordSize && field.size <= recordSize - field.offset;
}

bool KeyFits(const KeyDeclaration& key, size_t fieldCount) {
  if (key.components.empty()) return false;
  std::set<int> seen;
  for (const KeyComponent& component : key.components) {
    if (component.field < 0 || static_cast<size_t>(component.field) >= fieldCount) return false;
    if (!seen.insert(component.field).second) return false;
  }
  return true;
}

std::string UpperName(const std::string& label) { return AsciiUpper(LabelName(label)); }

}  // namespace

int32_t CheckDeclaration(const FileDeclaration& file) {
  if (file.layout == nullptr || file.buffer == nullptr || file.layout->fields().empty()) {
    return ErrorInvalidRecordDeclaration;
  }
  const RecordLayout& layout = *file.layout;
  std::set<std::string> columns;
  for (const FieldDescriptor& field : layout.fields()) {
    if (!FieldFits(field, layout.recordSize())) return ErrorInvalidRecordDeclaration;
    std::string column = UpperName(field.label);
    if (column.empty() || column[0] == '_' || !columns.insert(column).second) {
      return ErrorInvalidRecordDeclaration;
    }
  }
  std::set<std::string> keys;
  for (const KeyDeclaration& key : file.keys) {
    std::string name = UpperName(key.label);
    if (name.empty() || !keys.insert(name).second) return ErrorInvalidRecordDeclaration;
    if (!KeyFits(key, layout.fields().size())) return ErrorInvalidRecordDeclaration;
  }
  return ErrorNone;
}

}  // namespace ledora::runtime
