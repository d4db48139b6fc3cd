// A parsed expression of the runtime's language: filter texts of views
// ("UPPER(CUS:NAME) >= 'S' AND NOT CUS:CLOSED"), order terms and the
// conditions query forms build. Parse once, then evaluate per record: names
// are bound to the fields and variables of a NameTable (BoundNames() by
// default) and read their current values at each evaluation.
//
// Result codes: 800 syntax, 801 a name that is not bound (at parse, or when
// a name was unbound since), 802 a value that cannot be computed (division
// by zero, INSTRING with step 0). Each failure also sets the runtime error
// state.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/expr/expression_node.h"
#include "runtime/expr/expression_value.h"
#include "runtime/expr/name_table.h"

namespace ledora::runtime {

// One AND term of an expression that compares a bare name (or UPPER of it)
// with a side naming none of the record's fields: what a view can turn into
// a key range.
struct RangeTerm {
  std::string subject;  // "CUS:NUMBER" or "UPPER(CUS:NAME)", names in upper case
  CompareOp op = CompareEqual;
  const ExpressionNode* bound = nullptr;  // owned by the expression
};

class Expression {
 public:
  // 0 with the expression in *out; else 800 or 801, and *detail (when
  // given) says what and where.
  static int32_t Parse(std::string_view text, std::unique_ptr<Expression>* out,
                       std::string* detail = nullptr, const NameTable& names = BoundNames());

  int32_t Evaluate(ExpressionValue* out);
  // The value taken as a condition: non-zero number or non-blank text.
  int32_t Test(bool* result);

  const std::string& text() const { return text_; }
  // The names the expression reads, as written.
  std::vector<std::string> Names() const;

  // The AND terms at the top of the expression that compare a name for
  // which isField answers true with a bound side; an OR anywhere above a
  // term hides it.
  std::vector<RangeTerm> RangeTerms(const std::function<bool(const std::string&)>& isField) const;
  int32_t EvaluateBound(const RangeTerm& term, ExpressionValue* out);

 private:
  Expression() = default;
  int32_t Rebind();

  std::string text_;
  NodePtr root_;
  std::vector<NameNode*> nameNodes_;
  const NameTable* names_ = nullptr;
  uint64_t generation_ = 0;
};

}  // namespace ledora::runtime
