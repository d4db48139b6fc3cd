// The functions expressions can call (UPPER, SUB, INSTRING ...), looked up
// by ExpressionParser when it meets a call.
#pragma once

#include <string_view>

#include "runtime/expr/expression_node.h"

namespace ledora::runtime {

struct BuiltinSpec {
  const char* name;
  BuiltinFunction function;
  int minArgs;
  int maxArgs;
};

// nullptr when no function has that name; letter case is ignored.
const BuiltinSpec* FindBuiltin(std::string_view name);

}  // namespace ledora::runtime
