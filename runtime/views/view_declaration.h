// What a view reads: a primary file, related files joined to it by linking
// fields, and the projected fields. Declared by the program beside its
// files; View reads it.
#pragma once

#include <string>
#include <vector>

#include "runtime/storage/data_file.h"

namespace ledora::runtime {

enum JoinKind : uint8_t {
  JoinOuter,  // a primary record without a related record reads with it cleared
  JoinInner,  // ... is left out of the view
};

// A related file, read for each record of its parent (the primary file, or
// an earlier related file): the record whose key components equal the
// parent's linking fields. Fewer linking fields than key components take
// the first record that matches them.
struct ViewJoin {
  DataFile* file = nullptr;     // not owned
  int parent = -1;              // -1 the primary file, else an index into joins
  int key = 0;                  // key of the related file
  std::vector<int> linkFields;  // parent layout field per key component, in order
  JoinKind kind = JoinOuter;
};

struct ViewDeclaration {
  DataFile* primary = nullptr;  // not owned
  std::vector<ViewJoin> joins;
  // Field labels ("CUS:NAME") the view's users read; all when empty.
  std::vector<std::string> projection;
};

}  // namespace ledora::runtime
