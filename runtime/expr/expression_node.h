// The parsed form of an expression: a tree of nodes that Expression
// evaluates once per record. Names hold the field they were bound to, so a
// record is read without looking names up again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/expr/expression_value.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {

enum CompareOp : uint8_t {
  CompareEqual,
  CompareNotEqual,
  CompareLess,
  CompareGreater,
  CompareLessEqual,
  CompareGreaterEqual,
};

// The comparison that holds when both sides are swapped (a < b is b > a).
CompareOp MirroredCompare(CompareOp op);
bool CompareHolds(CompareOp op, int order);

class ExpressionNode {
 public:
  virtual ~ExpressionNode() = default;
  // 0, or 802 when the value cannot be computed.
  virtual int32_t Evaluate(ExpressionValue* out) const = 0;
};

using NodePtr = std::unique_ptr<ExpressionNode>;

class ConstantNode final : public ExpressionNode {
 public:
  explicit ConstantNode(ExpressionValue value) : value_(std::move(value)) {}
  int32_t Evaluate(ExpressionValue* out) const override;

 private:
  ExpressionValue value_;
};

class NameNode final : public ExpressionNode {
 public:
  explicit NameNode(std::string name) : name_(std::move(name)) {}
  int32_t Evaluate(ExpressionValue* out) const override;
  const std::string& name() const { return name_; }
  void Bind(const FieldRef& field) { field_ = field; }

 private:
  std::string name_;
  FieldRef field_;
};

class NotNode final : public ExpressionNode {
 public:
  explicit NotNode(NodePtr operand) : operand_(std::move(operand)) {}
  int32_t Evaluate(ExpressionValue* out) const override;

 private:
  NodePtr operand_;
};

class NegateNode final : public ExpressionNode {
 public:
  explicit NegateNode(NodePtr operand) : operand_(std::move(operand)) {}
  int32_t Evaluate(ExpressionValue* out) const override;

 private:
  NodePtr operand_;
};

// AND and OR, which skip their right side when the left decides.
class LogicNode final : public ExpressionNode {
 public:
  LogicNode(bool isAnd, NodePtr left, NodePtr right)
      : isAnd_(isAnd), left_(std::move(left)), right_(std::move(right)) {}
  int32_t Evaluate(ExpressionValue* out) const override;
  bool isAnd() const { return isAnd_; }
  const ExpressionNode* left() const { return left_.get(); }
  const ExpressionNode* right() const { return right_.get(); }

 private:
  bool isAnd_;
  NodePtr left_;
  NodePtr right_;
};

class CompareNode final : public ExpressionNode {
 public:
  CompareNode(CompareOp op, NodePtr left, NodePtr right)
      : op_(op), left_(std::move(left)), right_(std::move(right)) {}
  int32_t Evaluate(ExpressionValue* out) const override;
  CompareOp op() const { return op_; }
  const ExpressionNode* left() const { return left_.get(); }
  const ExpressionNode* right() const { return right_.get(); }

 private:
  CompareOp op_;
  NodePtr left_;
  NodePtr right_;
};

enum ArithmeticOp : uint8_t {
  ArithmeticAdd,
  ArithmeticSubtract,
  ArithmeticMultiply,
  ArithmeticDivide,
  ArithmeticModulo,
  ArithmeticConcat
};

class ArithmeticNode final : public ExpressionNode {
 public:
  ArithmeticNode(ArithmeticOp op, NodePtr left, NodePtr right)
      : op_(op), left_(std::move(left)), right_(std::move(right)) {}
  int32_t Evaluate(ExpressionValue* out) const override;

 private:
  ArithmeticOp op_;
  NodePtr left_;
  NodePtr right_;
};

using BuiltinFunction = int32_t (*)(const std::vector<ExpressionValue>& args, ExpressionValue* out);

class CallNode final : public ExpressionNode {
 public:
  CallNode(std::string name, BuiltinFunction function, std::vector<NodePtr> args)
      : name_(std::move(name)), function_(function), args_(std::move(args)) {}
  int32_t Evaluate(ExpressionValue* out) const override;
  const std::string& name() const { return name_; }  // upper case
  const std::vector<NodePtr>& args() const { return args_; }

 private:
  std::string name_;
  BuiltinFunction function_;
  std::vector<NodePtr> args_;
};

}  // namespace ledora::runtime
