// Turns an expression's text into its node tree. Used by Expression only;
// every name met is collected so that Expression can bind it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/expr/expression_lexer.h"
#include "runtime/expr/expression_node.h"

namespace ledora::runtime {

class ExpressionParser {
 public:
  explicit ExpressionParser(std::string_view text) : lexer_(text) {}

  // 0 with the tree in *root, or 800 with a description in error().
  int32_t Parse(NodePtr* root);
  const std::string& error() const { return error_; }
  std::vector<NameNode*>& names() { return names_; }

 private:
  void Advance();
  bool Fail(const std::string& what);
  bool Expect(TokenKind kind, const char* what);
  // false, failing, once the tree would grow past its bound.
  bool Count();
  // One level of left-associative operators of the given kinds.
  NodePtr ParseLevel(NodePtr (ExpressionParser::*operand)(),
                     std::initializer_list<TokenKind> kinds);
  static NodePtr Combine(const Token& op, NodePtr left, NodePtr right);
  NodePtr ParseOr();
  NodePtr ParseAnd();
  NodePtr ParseNot();
  NodePtr ParseComparison();
  NodePtr ParseConcat();
  NodePtr ParseAdditive();
  NodePtr ParseMultiplicative();
  NodePtr ParseUnary();
  NodePtr ParsePrimary();
  NodePtr ParseCall(const Token& name);

  ExpressionLexer lexer_;
  Token token_;
  std::string error_;
  std::vector<NameNode*> names_;
  int depth_ = 0;
  int nodes_ = 0;
};

}  // namespace ledora::runtime
