#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "runtime/expr/expression.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {
namespace {

// Pieces that make expression-like text likelier than random bytes would.
const std::vector<std::string> kPieces = {
    "(",       ")",
    ",",       "'",
    "''",      " ",
    "=",       "<",
    ">",       "~",
    "+",       "-",
    "*",       "/",
    "%",       "&",
    "AND",     " OR ",
    "NOT ",    "1",
    "0",       "99999999999999999999999999999999",
    ".5",      "'abc'",
    "A:NAME",  "A:NUM",
    "a:num",   "UPPER(",
    "SUB(",    "INSTRING(",
    "LEN(",    "CLIP(",
    "INT(",    "ABS(",
    "TODAY()", "LOWER(",
    "\xE9",    std::string(1, '\0'),
    "A:GONE",  "1e5",
    "\t",      "=<",
    "> =",
};

class ExpressionFuzzTest : public ::testing::Test {
 protected:
  ExpressionFuzzTest() {
    memcpy(name_, "Fuzzing   ", sizeof name_);
    names_.Bind("A:NAME", FieldRef::Of(name_));
    names_.Bind("A:NUM", FieldRef::Of(number_));
  }
  NameTable names_;
  char name_[10];
  int32_t number_ = -7;
};

TEST_F(ExpressionFuzzTest, RandomTextsParseOrFailWithTheirCodes) {
  std::mt19937 random(20261207);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    int pieces = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < pieces; ++i) {
      if (random() % 8 == 0) {
        text += static_cast<char>(random() % 256);
      } else {
        text += kPieces[random() % kPieces.size()];
      }
    }
    std::unique_ptr<Expression> expression;
    std::string detail;
    int32_t code = Expression::Parse(text, &expression, &detail, names_);
    ASSERT_TRUE(code == ErrorNone || code == ErrorExpressionSyntax ||
                code == ErrorExpressionUnknownName)
        << text;
    if (code != ErrorNone) {
      ASSERT_FALSE(detail.empty()) << text;
      continue;
    }
    ExpressionValue value;
    code = expression->Evaluate(&value);
    ASSERT_TRUE(code == ErrorNone || code == ErrorExpressionEvaluation) << text;
  }
}

// A random integer expression with its value worked out independently.
struct Generated {
  std::string text;
  __int128 value;
};

Generated Generate(std::mt19937& random, int depth) {
  if (depth == 0 || random() % 4 == 0) {
    int64_t leaf = static_cast<int64_t>(random() % 41) - 20;
    if (leaf < 0) return {"(" + std::to_string(leaf) + ")", leaf};
    return {std::to_string(leaf), leaf};
  }
  Generated a = Generate(random, depth - 1);
  Generated b = Generate(random, depth - 1);
  switch (random() % 9) {
    case 0:
      return {"(" + a.text + " + " + b.text + ")", a.value + b.value};
    case 1:
      return {"(" + a.text + " - " + b.text + ")", a.value - b.value};
    case 2:
      return {"(" + a.text + " * " + b.text + ")", a.value * b.value};
    case 3:
      return {"(" + a.text + " < = " + b.text + ")", a.value <= b.value};
    case 4:
      return {"(" + a.text + " <> " + b.text + ")", a.value != b.value};
    case 5:
      return {"(" + a.text + " AND " + b.text + ")", a.value != 0 && b.value != 0};
    case 6:
      return {"(" + a.text + " OR " + b.text + ")", a.value != 0 || b.value != 0};
    case 7:
      return {"(NOT " + a.text + ")", a.value == 0};
    default:
      return {"ABS(-" + a.text + ")", a.value < 0 ? -a.value : a.value};
  }
}

TEST_F(ExpressionFuzzTest, RandomArithmeticAgreesWithIntegerArithmetic) {
  std::mt19937 random(7919);
  for (int round = 0; round < 5000; ++round) {
    Generated generated = Generate(random, 4);
    std::unique_ptr<Expression> expression;
    ASSERT_EQ(Expression::Parse(generated.text, &expression, nullptr, names_), ErrorNone)
        << generated.text;
    ExpressionValue value;
    ASSERT_EQ(expression->Evaluate(&value), ErrorNone) << generated.text;
    ASSERT_EQ(value.number(), Decimal::FromUnits(generated.value, 0)) << generated.text;
  }
}

}  // namespace
}  // namespace ledora::runtime
