// One value of an expression: a number (exact decimal) or a text. Booleans
// are the numbers 1 and 0. Expressions, their functions and the view
// engine's range bounds pass values in this form.
#pragma once

#include <string>
#include <string_view>

#include "runtime/values/decimal.h"
#include "runtime/values/field_ref.h"

namespace ledora::runtime {

class ExpressionValue {
 public:
  ExpressionValue() = default;  // the number 0
  static ExpressionValue Number(const Decimal& number);
  static ExpressionValue Text(std::string text);
  static ExpressionValue Bool(bool value) { return Number(value ? 1 : 0); }
  // Strings and texts come clipped, as the runtime reads fields.
  static ExpressionValue Of(const FieldRef& field);

  bool isText() const { return isText_; }
  // A text reads as the number it starts with, or 0.
  Decimal number() const;
  // A number reads without trailing zeros after its point ("2.5", "3").
  std::string text() const;
  // Non-zero numbers and non-blank texts are true.
  bool IsTrue() const;

 private:
  bool isText_ = false;
  Decimal number_;
  std::string text_;
};

// Two texts compare clipped and case-sensitively; anything else compares as
// numbers. <0, 0 or >0.
int CompareValues(const ExpressionValue& a, const ExpressionValue& b);

}  // namespace ledora::runtime
