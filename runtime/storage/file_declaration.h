// What a program declares about one data file: its name, its record (layout
// and buffer) and its keys. The storage driver builds its tables and indexes
// from it; the file manager and the designer's tables are declared this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/values/record_layout.h"

namespace ledora::runtime {

struct KeyComponent {
  int field = 0;  // index into the record layout's fields
  bool descending = false;
};

struct KeyDeclaration {
  std::string label;  // "CUS:IDKEY"
  std::vector<KeyComponent> components;
  bool unique = false;  // false: duplicates allowed, in record-position order
  bool primary = false;
  bool noCase = false;    // string components compare without regard to case
  bool optional = false;  // a record whose key fields are all blank or zero has no entry
};

struct FileDeclaration {
  std::string label;  // "CUSTOMER", for messages and diagnostics
  // "CUSTOMER" (the default extension ".KDS" is added) or a table of a
  // multi-table file, "RptDes1.KDS\!LTypes". Read at every open and create.
  std::string name;
  const RecordLayout* layout = nullptr;  // not owned
  void* buffer = nullptr;                // the record buffer, layout->recordSize() bytes; not owned
  std::vector<KeyDeclaration> keys;
};

// The key order of a sequence that follows record positions instead of a key.
inline constexpr int kRecordOrder = -1;

// Returns 0, or 47 when the layout, buffer or a key does not describe the
// record (no layout or buffer, fields outside the record, unknown or
// unsupported field types, empty or out-of-range key components, two keys
// with one label).
int32_t CheckDeclaration(const FileDeclaration& file);

}  // namespace ledora::runtime
