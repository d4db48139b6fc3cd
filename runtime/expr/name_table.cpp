#include "runtime/expr/name_table.h"

#include "runtime/system/ascii_case.h"

namespace ledora::runtime {

std::string NameTable::Key(std::string_view name) { return AsciiUpper(name); }

void NameTable::Bind(std::string_view name, const FieldRef& field) {
  names_[Key(name)] = field;
  ++generation_;
}

void NameTable::BindRecord(const RecordLayout& layout, void* record) {
  for (size_t i = 0; i < layout.fields().size(); ++i) {
    Bind(layout.fields()[i].label, layout.Bind(record, static_cast<int>(i)));
  }
}

void NameTable::Unbind(std::string_view name) {
  names_.erase(Key(name));
  ++generation_;
}

void NameTable::UnbindRecord(const RecordLayout& layout) {
  for (const FieldDescriptor& field : layout.fields()) Unbind(field.label);
}

const FieldRef* NameTable::Find(std::string_view name) const {
  auto it = names_.find(Key(name));
  return it == names_.end() ? nullptr : &it->second;
}

NameTable& BoundNames() {
  static NameTable table;
  return table;
}

}  // namespace ledora::runtime
