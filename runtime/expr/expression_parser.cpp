#include "runtime/expr/expression_parser.h"

#include <algorithm>

#include "runtime/expr/builtin_functions.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

// Nesting deeper than this is refused rather than risking the stack of a
// small procedure thread.
constexpr int kMaxDepth = 200;
// Evaluating, scanning and freeing a tree recurse along its longest path, and
// a chain of operators ("A+1+1+...") is a path as long as the chain: bounding
// the nodes bounds that recursion as well as the work per record.
constexpr int kMaxNodes = 1000;

CompareOp CompareOf(const std::string& text) {
  if (text == "<>") return CompareNotEqual;
  if (text == "<") return CompareLess;
  if (text == ">") return CompareGreater;
  if (text == "<=") return CompareLessEqual;
  if (text == ">=") return CompareGreaterEqual;
  return CompareEqual;
}

ArithmeticOp ArithmeticOf(TokenKind kind) {
  switch (kind) {
    case TokenPlus:
      return ArithmeticAdd;
    case TokenMinus:
      return ArithmeticSubtract;
    case TokenTimes:
      return ArithmeticMultiply;
    case TokenDivide:
      return ArithmeticDivide;
    case TokenModulo:
      return ArithmeticModulo;
    default:
      return ArithmeticConcat;
  }
}

// Keeps the recursion depth while a parse function runs.
class DepthGuard {
 public:
  explicit DepthGuard(int* depth) : depth_(depth) { ++*depth_; }
  ~DepthGuard() { --*depth_; }

 private:
  int* depth_;
};

}  // namespace

int32_t ExpressionParser::Parse(NodePtr* root) {
  Advance();
  NodePtr tree = ParseOr();
  if (tree != nullptr && token_.kind != TokenEnd) {
    Fail("unexpected '" + token_.text + "'");
    tree = nullptr;
  }
  if (tree == nullptr) return ErrorExpressionSyntax;
  *root = std::move(tree);
  return ErrorNone;
}

void ExpressionParser::Advance() {
  token_ = lexer_.Next();
  if (token_.kind == TokenError) Fail(token_.text);
}

bool ExpressionParser::Fail(const std::string& what) {
  if (error_.empty()) error_ = what + " at column " + std::to_string(token_.column);
  return false;
}

bool ExpressionParser::Count() {
  if (++nodes_ <= kMaxNodes) return true;
  return Fail("expression longer than " + std::to_string(kMaxNodes) + " terms");
}

bool ExpressionParser::Expect(TokenKind kind, const char* what) {
  if (token_.kind != kind) return Fail(std::string(what) + " expected");
  Advance();
  return true;
}

NodePtr ExpressionParser::ParseLevel(NodePtr (ExpressionParser::*operand)(),
                                     std::initializer_list<TokenKind> kinds) {
  NodePtr left = (this->*operand)();
  auto matches = [&] { return std::find(kinds.begin(), kinds.end(), token_.kind) != kinds.end(); };
  while (left != nullptr && matches()) {
    Token op = token_;
    Advance();
    NodePtr right = (this->*operand)();
    if (right == nullptr || !Count()) return nullptr;
    left = Combine(op, std::move(left), std::move(right));
  }
  return left;
}

NodePtr ExpressionParser::Combine(const Token& op, NodePtr left, NodePtr right) {
  switch (op.kind) {
    case TokenAnd:
    case TokenOr:
      return std::make_unique<LogicNode>(op.kind == TokenAnd, std::move(left), std::move(right));
    case TokenCompare:
      return std::make_unique<CompareNode>(CompareOf(op.text), std::move(left), std::move(right));
    default:
      return std::make_unique<ArithmeticNode>(ArithmeticOf(op.kind), std::move(left),
                                              std::move(right));
  }
}

NodePtr ExpressionParser::ParseOr() {
  DepthGuard guard(&depth_);
  if (depth_ > kMaxDepth) return Fail("expression nested too deeply"), nullptr;
  return ParseLevel(&ExpressionParser::ParseAnd, {TokenOr});
}

NodePtr ExpressionParser::ParseAnd() { return ParseLevel(&ExpressionParser::ParseNot, {TokenAnd}); }

NodePtr ExpressionParser::ParseNot() {
  if (token_.kind != TokenNot) return ParseComparison();
  DepthGuard guard(&depth_);
  if (depth_ > kMaxDepth) return Fail("expression nested too deeply"), nullptr;
  Advance();
  NodePtr operand = ParseNot();
  if (operand == nullptr || !Count()) return nullptr;
  return std::make_unique<NotNode>(std::move(operand));
}

NodePtr ExpressionParser::ParseComparison() {
  return ParseLevel(&ExpressionParser::ParseConcat, {TokenCompare});
}

NodePtr ExpressionParser::ParseConcat() {
  return ParseLevel(&ExpressionParser::ParseAdditive, {TokenConcat});
}

NodePtr ExpressionParser::ParseAdditive() {
  return ParseLevel(&ExpressionParser::ParseMultiplicative, {TokenPlus, TokenMinus});
}

NodePtr ExpressionParser::ParseMultiplicative() {
  return ParseLevel(&ExpressionParser::ParseUnary, {TokenTimes, TokenDivide, TokenModulo});
}

NodePtr ExpressionParser::ParseUnary() {
  if (token_.kind != TokenMinus && token_.kind != TokenPlus) return ParsePrimary();
  DepthGuard guard(&depth_);
  if (depth_ > kMaxDepth) return Fail("expression nested too deeply"), nullptr;
  bool negate = token_.kind == TokenMinus;
  Advance();
  NodePtr operand = ParseUnary();
  if (operand == nullptr || !negate) return operand;
  if (!Count()) return nullptr;
  return std::make_unique<NegateNode>(std::move(operand));
}

NodePtr ExpressionParser::ParsePrimary() {
  Token token = token_;
  if (token.kind != TokenOpen && !Count()) return nullptr;
  switch (token.kind) {
    case TokenNumber: {
      std::optional<Decimal> number = Decimal::Parse(token.text);
      if (!number || token.text.size() > Decimal::kMaxDigits + 1) {
        return Fail("malformed or too long number"), nullptr;
      }
      Advance();
      return std::make_unique<ConstantNode>(ExpressionValue::Number(*number));
    }
    case TokenString:
      Advance();
      return std::make_unique<ConstantNode>(ExpressionValue::Text(token.text));
    case TokenName: {
      Advance();
      if (token_.kind == TokenOpen) return ParseCall(token);
      auto node = std::make_unique<NameNode>(token.text);
      names_.push_back(node.get());
      return node;
    }
    case TokenOpen: {
      Advance();
      NodePtr inner = ParseOr();
      if (inner == nullptr || !Expect(TokenClose, "')'")) return nullptr;
      return inner;
    }
    case TokenEnd:
      return Fail("unexpected end"), nullptr;
    default:
      return Fail("unexpected '" + token.text + "'"), nullptr;
  }
}

NodePtr ExpressionParser::ParseCall(const Token& name) {
  const BuiltinSpec* builtin = FindBuiltin(name.text);
  if (builtin == nullptr) return Fail("unknown function " + name.text), nullptr;
  Advance();  // the "("
  std::vector<NodePtr> args;
  if (token_.kind != TokenClose) {
    for (;;) {
      NodePtr arg = ParseOr();
      if (arg == nullptr) return nullptr;
      args.push_back(std::move(arg));
      if (token_.kind != TokenComma) break;
      Advance();
    }
  }
  if (!Expect(TokenClose, "')'")) return nullptr;
  auto count = static_cast<int>(args.size());
  if (count < builtin->minArgs || count > builtin->maxArgs) {
    return Fail(std::string("wrong number of arguments to ") + builtin->name), nullptr;
  }
  return std::make_unique<CallNode>(builtin->name, builtin->function, std::move(args));
}

}  // namespace ledora::runtime
