#include "runtime/views/order_terms.h"

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

void AddTerm(std::string text, std::vector<OrderTerm>* terms) {
  OrderTerm term;
  size_t at = 0;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    term.descending = text[0] == '-';
    at = 1;
  }
  term.subject = ToUpper1252(std::string_view(text).substr(at));
  if (!term.subject.empty()) terms->push_back(std::move(term));
}

}  // namespace

std::vector<OrderTerm> ParseOrderTerms(std::string_view order) {
  std::vector<OrderTerm> terms;
  std::string current;
  int depth = 0;
  bool quoted = false;
  for (char c : order) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && c == '(') ++depth;
    if (!quoted && c == ')') --depth;
    if (!quoted && depth <= 0 && c == ',') {
      AddTerm(std::move(current), &terms);
      current.clear();
    } else if (quoted || (c != ' ' && c != '\t')) {
      current += c;
    }
  }
  AddTerm(std::move(current), &terms);
  return terms;
}

std::vector<OrderTerm> KeyTerms(const FileDeclaration& file, int key) {
  std::vector<OrderTerm> terms;
  const KeyDeclaration& declared = file.keys[key];
  for (const KeyComponent& component : declared.components) {
    const FieldDescriptor& field = file.layout->fields()[component.field];
    std::string label = ToUpper1252(field.label);
    bool upper = declared.noCase && field.type == FieldString;
    terms.push_back({upper ? "UPPER(" + label + ")" : label, component.descending});
  }
  return terms;
}

}  // namespace ledora::runtime
