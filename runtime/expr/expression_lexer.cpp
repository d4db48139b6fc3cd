#include "runtime/expr/expression_lexer.h"

#include <cctype>

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool StartsName(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool InName(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':'; }

Token Make(TokenKind kind, std::string text, size_t start) {
  return Token{kind, std::move(text), start + 1};
}

}  // namespace

void ExpressionLexer::SkipBlanks() {
  while (at_ < text_.size() &&
         (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\r' || text_[at_] == '\n')) {
    ++at_;
  }
}

bool ExpressionLexer::Peek(char c) {
  size_t saved = at_;
  SkipBlanks();
  if (at_ < text_.size() && text_[at_] == c) {
    ++at_;
    return true;
  }
  at_ = saved;
  return false;
}

Token ExpressionLexer::Next() {
  SkipBlanks();
  size_t start = at_;
  if (at_ >= text_.size()) return Make(TokenEnd, "", start);
  char c = text_[at_];
  if (IsDigit(c) || (c == '.' && at_ + 1 < text_.size() && IsDigit(text_[at_ + 1]))) {
    return ReadNumber(start);
  }
  if (c == '\'') return ReadString(start);
  if (StartsName(c)) return ReadName(start);
  return ReadOperator(start);
}

Token ExpressionLexer::ReadNumber(size_t start) {
  while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
  if (at_ < text_.size() && text_[at_] == '.') {
    ++at_;
    while (at_ < text_.size() && IsDigit(text_[at_])) ++at_;
  }
  if (at_ < text_.size() && StartsName(text_[at_])) {
    return Make(TokenError, "a number runs into a name", start);
  }
  return Make(TokenNumber, std::string(text_.substr(start, at_ - start)), start);
}

Token ExpressionLexer::ReadString(size_t start) {
  std::string value;
  ++at_;
  while (at_ < text_.size()) {
    char c = text_[at_++];
    if (c != '\'') {
      value += c;
    } else if (at_ < text_.size() && text_[at_] == '\'') {
      value += '\'';
      ++at_;
    } else {
      return Make(TokenString, std::move(value), start);
    }
  }
  return Make(TokenError, "a quoted text is not closed", start);
}

Token ExpressionLexer::ReadName(size_t start) {
  while (at_ < text_.size() && InName(text_[at_])) ++at_;
  std::string name(text_.substr(start, at_ - start));
  std::string upper = ToUpper1252(name);
  if (upper == "AND") return Make(TokenAnd, name, start);
  if (upper == "OR") return Make(TokenOr, name, start);
  if (upper == "NOT") return Make(TokenNot, name, start);
  return Make(TokenName, std::move(name), start);
}

Token ExpressionLexer::ReadOperator(size_t start) {
  char c = text_[at_++];
  switch (c) {
    case '(':
      return Make(TokenOpen, "(", start);
    case ')':
      return Make(TokenClose, ")", start);
    case ',':
      return Make(TokenComma, ",", start);
    case '+':
      return Make(TokenPlus, "+", start);
    case '-':
      return Make(TokenMinus, "-", start);
    case '*':
      return Make(TokenTimes, "*", start);
    case '/':
      return Make(TokenDivide, "/", start);
    case '%':
      return Make(TokenModulo, "%", start);
    case '&':
      return Make(TokenConcat, "&", start);
    case '=':
      if (Peek('<')) return Make(TokenCompare, "<=", start);
      if (Peek('>')) return Make(TokenCompare, ">=", start);
      return Make(TokenCompare, "=", start);
    case '<':
      if (Peek('=')) return Make(TokenCompare, "<=", start);
      if (Peek('>')) return Make(TokenCompare, "<>", start);
      return Make(TokenCompare, "<", start);
    case '>':
      if (Peek('=')) return Make(TokenCompare, ">=", start);
      return Make(TokenCompare, ">", start);
    case '~':
      if (Peek('=')) return Make(TokenCompare, "<>", start);
      if (Peek('<')) return Make(TokenCompare, ">=", start);
      if (Peek('>')) return Make(TokenCompare, "<=", start);
      return Make(TokenNot, "~", start);
    default:
      return Make(TokenError, std::string("unexpected character '") + c + "'", start);
  }
}

}  // namespace ledora::runtime
