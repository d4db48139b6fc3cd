#include "runtime/expr/expression_value.h"

#include "runtime/values/fixed_string.h"

namespace ledora::runtime {

ExpressionValue ExpressionValue::Number(const Decimal& number) {
  ExpressionValue value;
  value.number_ = number;
  return value;
}

ExpressionValue ExpressionValue::Text(std::string text) {
  ExpressionValue value;
  value.isText_ = true;
  value.text_ = std::move(text);
  return value;
}

ExpressionValue ExpressionValue::Of(const FieldRef& field) {
  if (field.address == nullptr) return ExpressionValue();
  if (field.IsNumeric()) return Number(GetNumber(field));
  return Text(GetText(field));
}

Decimal ExpressionValue::number() const { return isText_ ? ParseLeadingNumber(text_) : number_; }

std::string ExpressionValue::text() const {
  if (isText_) return text_;
  std::string text = number_.ToString();
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text;
}

bool ExpressionValue::IsTrue() const { return isText_ ? !Clip(text_).empty() : !number_.IsZero(); }

int CompareValues(const ExpressionValue& a, const ExpressionValue& b) {
  if (a.isText() && b.isText()) return CompareClipped(a.text(), b.text());
  auto order = a.number() <=> b.number();
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace ledora::runtime
