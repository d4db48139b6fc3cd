#include "runtime/expr/expression.h"

#include "runtime/expr/expression_parser.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

int32_t Failed(int32_t code) {
  SetError(code);
  return code;
}

// "CUS:NAME" or "UPPER(CUS:NAME)" for a name or UPPER of a name; empty
// for anything else.
std::string SubjectOf(const ExpressionNode* node) {
  if (auto* name = dynamic_cast<const NameNode*>(node)) return ToUpper1252(name->name());
  auto* call = dynamic_cast<const CallNode*>(node);
  if (call == nullptr || call->name() != "UPPER") return {};
  auto* inner = dynamic_cast<const NameNode*>(call->args()[0].get());
  return inner == nullptr ? std::string() : "UPPER(" + ToUpper1252(inner->name()) + ")";
}

// A side whose value does not change from record to record: a constant, a
// name that is not a record field, or UPPER of either.
bool IsBound(const ExpressionNode* node, const std::function<bool(const std::string&)>& isField) {
  if (dynamic_cast<const ConstantNode*>(node) != nullptr) return true;
  if (auto* name = dynamic_cast<const NameNode*>(node)) return !isField(ToUpper1252(name->name()));
  auto* call = dynamic_cast<const CallNode*>(node);
  return call != nullptr && call->name() == "UPPER" && IsBound(call->args()[0].get(), isField);
}

void CollectTerms(const ExpressionNode* node,
                  const std::function<bool(const std::string&)>& isField,
                  std::vector<RangeTerm>* terms) {
  if (auto* logic = dynamic_cast<const LogicNode*>(node)) {
    if (!logic->isAnd()) return;
    CollectTerms(logic->left(), isField, terms);
    CollectTerms(logic->right(), isField, terms);
    return;
  }
  auto* compare = dynamic_cast<const CompareNode*>(node);
  if (compare == nullptr || compare->op() == CompareNotEqual) return;
  std::string left = SubjectOf(compare->left());
  std::string right = SubjectOf(compare->right());
  auto fieldOf = [&](const std::string& subject) {
    std::string name =
        subject.rfind("UPPER(", 0) == 0 ? subject.substr(6, subject.size() - 7) : subject;
    return !subject.empty() && isField(name);
  };
  if (fieldOf(left) && IsBound(compare->right(), isField)) {
    terms->push_back({left, compare->op(), compare->right()});
  } else if (fieldOf(right) && IsBound(compare->left(), isField)) {
    terms->push_back({right, MirroredCompare(compare->op()), compare->left()});
  }
}

}  // namespace

int32_t Expression::Parse(std::string_view text, std::unique_ptr<Expression>* out,
                          std::string* detail, const NameTable& names) {
  std::unique_ptr<Expression> expression(new Expression());
  ExpressionParser parser(text);
  if (parser.Parse(&expression->root_) != ErrorNone) {
    if (detail != nullptr) *detail = parser.error();
    return Failed(ErrorExpressionSyntax);
  }
  expression->text_ = std::string(text);
  expression->nameNodes_ = std::move(parser.names());
  expression->names_ = &names;
  for (NameNode* node : expression->nameNodes_) {
    if (names.Find(node->name()) == nullptr) {
      if (detail != nullptr) *detail = "unknown name " + node->name();
      return Failed(ErrorExpressionUnknownName);
    }
  }
  expression->Rebind();
  *out = std::move(expression);
  ClearError();
  return ErrorNone;
}

int32_t Expression::Rebind() {
  for (NameNode* node : nameNodes_) {
    const FieldRef* field = names_->Find(node->name());
    if (field == nullptr) return Failed(ErrorExpressionUnknownName);
    node->Bind(*field);
  }
  generation_ = names_->generation();
  return ErrorNone;
}

int32_t Expression::Evaluate(ExpressionValue* out) {
  if (generation_ != names_->generation()) {
    if (int32_t code = Rebind(); code != ErrorNone) return code;
  }
  if (int32_t code = root_->Evaluate(out); code != ErrorNone) return Failed(code);
  return ErrorNone;
}

int32_t Expression::Test(bool* result) {
  ExpressionValue value;
  if (int32_t code = Evaluate(&value); code != ErrorNone) return code;
  *result = value.IsTrue();
  return ErrorNone;
}

std::vector<std::string> Expression::Names() const {
  std::vector<std::string> names;
  for (const NameNode* node : nameNodes_) names.push_back(node->name());
  return names;
}

std::vector<RangeTerm> Expression::RangeTerms(
    const std::function<bool(const std::string&)>& isField) const {
  std::vector<RangeTerm> terms;
  CollectTerms(root_.get(), isField, &terms);
  return terms;
}

int32_t Expression::EvaluateBound(const RangeTerm& term, ExpressionValue* out) {
  if (generation_ != names_->generation()) {
    if (int32_t code = Rebind(); code != ErrorNone) return code;
  }
  if (int32_t code = term.bound->Evaluate(out); code != ErrorNone) return Failed(code);
  return ErrorNone;
}

}  // namespace ledora::runtime
