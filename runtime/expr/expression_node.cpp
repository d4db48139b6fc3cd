#include "runtime/expr/expression_node.h"

#include <string>

#include "runtime/system/runtime_error.h"

namespace ledora::runtime {

CompareOp MirroredCompare(CompareOp op) {
  switch (op) {
    case CompareLess:
      return CompareGreater;
    case CompareGreater:
      return CompareLess;
    case CompareLessEqual:
      return CompareGreaterEqual;
    case CompareGreaterEqual:
      return CompareLessEqual;
    default:
      return op;
  }
}

bool CompareHolds(CompareOp op, int order) {
  switch (op) {
    case CompareEqual:
      return order == 0;
    case CompareNotEqual:
      return order != 0;
    case CompareLess:
      return order < 0;
    case CompareGreater:
      return order > 0;
    case CompareLessEqual:
      return order <= 0;
    case CompareGreaterEqual:
      return order >= 0;
  }
  return false;
}

int32_t ConstantNode::Evaluate(ExpressionValue* out) const {
  *out = value_;
  return ErrorNone;
}

int32_t NameNode::Evaluate(ExpressionValue* out) const {
  *out = ExpressionValue::Of(field_);
  return ErrorNone;
}

int32_t NotNode::Evaluate(ExpressionValue* out) const {
  if (int32_t code = operand_->Evaluate(out); code != ErrorNone) return code;
  *out = ExpressionValue::Bool(!out->IsTrue());
  return ErrorNone;
}

int32_t NegateNode::Evaluate(ExpressionValue* out) const {
  if (int32_t code = operand_->Evaluate(out); code != ErrorNone) return code;
  *out = ExpressionValue::Number(-out->number());
  return ErrorNone;
}

int32_t LogicNode::Evaluate(ExpressionValue* out) const {
  if (int32_t code = left_->Evaluate(out); code != ErrorNone) return code;
  bool left = out->IsTrue();
  if (left != isAnd_) {
    *out = ExpressionValue::Bool(left);
    return ErrorNone;
  }
  if (int32_t code = right_->Evaluate(out); code != ErrorNone) return code;
  *out = ExpressionValue::Bool(out->IsTrue());
  return ErrorNone;
}

int32_t CompareNode::Evaluate(ExpressionValue* out) const {
  ExpressionValue right;
  if (int32_t code = left_->Evaluate(out); code != ErrorNone) return code;
  if (int32_t code = right_->Evaluate(&right); code != ErrorNone) return code;
  *out = ExpressionValue::Bool(CompareHolds(op_, CompareValues(*out, right)));
  return ErrorNone;
}

namespace {

// A result too large for a Decimal saturates at 38 nines, and a quotient too
// small for its places rounds to 0: a filter must not compare either as if
// it were the value.
bool OutOfRange(const Decimal& value) {
  std::string whole = value.Truncated(0).ToString();
  return whole.size() - (whole[0] == '-' ? 1 : 0) >= 38;
}

}  // namespace

int32_t ArithmeticNode::Evaluate(ExpressionValue* out) const {
  ExpressionValue right;
  if (int32_t code = left_->Evaluate(out); code != ErrorNone) return code;
  if (int32_t code = right_->Evaluate(&right); code != ErrorNone) return code;
  if (op_ == ArithmeticConcat) {
    *out = ExpressionValue::Text(out->text() + right.text());
    return ErrorNone;
  }
  Decimal a = out->number();
  Decimal b = right.number();
  // Decimal's own division answers 0 for a zero divisor; a filter must not
  // silently compare against that.
  if ((op_ == ArithmeticDivide || op_ == ArithmeticModulo) && b.IsZero()) {
    return ErrorExpressionEvaluation;
  }
  Decimal result;
  switch (op_) {
    case ArithmeticAdd:
      result = a + b;
      break;
    case ArithmeticSubtract:
      result = a - b;
      break;
    case ArithmeticMultiply:
      result = a * b;
      break;
    case ArithmeticDivide:
      result = a / b;
      break;
    default:
      result = a - (a / b).Truncated(0) * b;
      break;
  }
  if (OutOfRange(result) || (op_ == ArithmeticDivide && result.IsZero() && !a.IsZero())) {
    return ErrorExpressionEvaluation;
  }
  *out = ExpressionValue::Number(result);
  return ErrorNone;
}

int32_t CallNode::Evaluate(ExpressionValue* out) const {
  std::vector<ExpressionValue> values(args_.size());
  for (size_t i = 0; i < args_.size(); ++i) {
    if (int32_t code = args_[i]->Evaluate(&values[i]); code != ErrorNone) return code;
  }
  return function_(values, out);
}

}  // namespace ledora::runtime
