// The names that expressions can use: record fields by label ("CUS:NAME")
// and program variables ("LOC:ReportType"). File managers bind their
// records' fields here; procedures bind their locals for filters.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "runtime/values/field_ref.h"
#include "runtime/values/record_layout.h"

namespace ledora::runtime {

class NameTable {
 public:
  // A later binding of the same name replaces the earlier one.
  void Bind(std::string_view name, const FieldRef& field);
  // Binds every field of a record by its label.
  void BindRecord(const RecordLayout& layout, void* record);
  void Unbind(std::string_view name);
  void UnbindRecord(const RecordLayout& layout);
  // Letter case is ignored; nullptr when the name is not bound.
  const FieldRef* Find(std::string_view name) const;
  // Changes with every bind and unbind, so parsed expressions know when to
  // look their names up again.
  uint64_t generation() const { return generation_; }

 private:
  static std::string Key(std::string_view name);
  std::map<std::string, FieldRef> names_;
  uint64_t generation_ = 0;
};

// The process-wide table: all procedures share the bound names, as they
// share the global record buffers the names point into.
NameTable& BoundNames();

}  // namespace ledora::runtime
