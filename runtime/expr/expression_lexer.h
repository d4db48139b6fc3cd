// Splits an expression's text into tokens for ExpressionParser. Comparison
// operators may be written with blanks between their two characters ("> ="),
// as query forms build them, and "~" forms the negated comparisons.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ledora::runtime {

enum TokenKind : uint8_t {
  TokenEnd,
  TokenNumber,
  TokenString,  // text holds the value, doubled quotes undone
  TokenName,
  TokenOpen,
  TokenClose,
  TokenComma,
  TokenCompare,  // text holds "=", "<>", "<", ">", "<=" or ">="
  TokenPlus,
  TokenMinus,
  TokenTimes,
  TokenDivide,
  TokenModulo,
  TokenConcat,
  TokenAnd,
  TokenOr,
  TokenNot,
  TokenError,  // text holds what went wrong
};

struct Token {
  TokenKind kind = TokenEnd;
  std::string text;
  size_t column = 0;  // 1-based
};

class ExpressionLexer {
 public:
  explicit ExpressionLexer(std::string_view text) : text_(text) {}
  Token Next();

 private:
  void SkipBlanks();
  bool Peek(char c);  // after blanks; consumes c when it is there
  Token ReadNumber(size_t start);
  Token ReadString(size_t start);
  Token ReadName(size_t start);
  Token ReadOperator(size_t start);

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace ledora::runtime
