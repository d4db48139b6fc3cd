// The terms of a view order ("UPPER(CUS:NAME),-CUS:NUMBER") and the same
// terms as a key declares them, so that View can find the key that serves
// an order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/storage/file_declaration.h"

namespace ledora::runtime {

struct OrderTerm {
  std::string subject;  // upper case, blanks removed: "UPPER(CUS:NAME)"
  bool descending = false;
};

// Splits at the commas outside parentheses; a leading "-" makes a term
// descending, a leading "+" is allowed. Empty terms are left out.
std::vector<OrderTerm> ParseOrderTerms(std::string_view order);

// A key's components as order terms: a string component of a
// case-insensitive key reads "UPPER(label)".
std::vector<OrderTerm> KeyTerms(const FileDeclaration& file, int key);

}  // namespace ledora::runtime
