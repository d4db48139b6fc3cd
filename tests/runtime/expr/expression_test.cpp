#include "runtime/expr/expression.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstring>

#include "runtime/dates/local_clock.h"
#include "runtime/system/runtime_error.h"

namespace ledora::runtime {
namespace {

// A small customer record bound into a private name table.
class ExpressionTest : public ::testing::Test {
 protected:
  ExpressionTest() {
    SetName("Smith's Ltd");
    names_.Bind("CUS:NAME", FieldRef::Of(name_));
    names_.Bind("CUS:NUMBER", FieldRef::Of(number_));
    names_.Bind("LOC:ReportType", FieldRef::Of(reportType_));
    PackDecimal(Decimal::FromUnits(1250, 2), price_, 5, 2);
    names_.Bind("ITM:PRICE", FieldRef::Packed(price_, 5, 2));
  }

  void SetName(const char* text) {
    memset(name_, ' ', sizeof name_);
    memcpy(name_, text, strlen(text));
  }

  int32_t Eval(const std::string& text, ExpressionValue* out, std::string* detail = nullptr) {
    std::unique_ptr<Expression> expression;
    int32_t code = Expression::Parse(text, &expression, detail, names_);
    if (code != ErrorNone) return code;
    return expression->Evaluate(out);
  }
  std::string Text(const std::string& text) {
    ExpressionValue value;
    EXPECT_EQ(Eval(text, &value), ErrorNone) << text;
    return value.text();
  }
  bool True(const std::string& text) {
    ExpressionValue value;
    EXPECT_EQ(Eval(text, &value), ErrorNone) << text;
    return value.IsTrue();
  }

  NameTable names_;
  char name_[20];
  int32_t number_ = 42;
  int32_t reportType_ = 3;
  unsigned char price_[5];
};

TEST_F(ExpressionTest, LiteralsArithmeticAndPrecedence) {
  EXPECT_EQ(Text("1 + 2 * 3"), "7");
  EXPECT_EQ(Text("(1 + 2) * 3"), "9");
  EXPECT_EQ(Text("10 / 4"), "2.5");
  EXPECT_EQ(Text("-3 + 1"), "-2");
  EXPECT_EQ(Text("7 % 3"), "1");
  EXPECT_EQ(Text("0.1 + 0.2"), "0.3");
  EXPECT_EQ(Text("'it''s'"), "it's");
  EXPECT_EQ(Text("'a' & 1 + 1 & 'b'"), "a2b");
  EXPECT_EQ(Text("ITM:PRICE * 2"), "25");
}

// A result a Decimal cannot hold saturates, and a quotient below its places
// rounds to 0; either compared as the value would pass or drop records.
TEST_F(ExpressionTest, ResultsOutOfRangeAre802NotSaturatedOrZero) {
  ExpressionValue value;
  for (const char* text : {"1 / 9999999999999999999999999999999 > 0", "1 / 0", "5 % 0",
                           "99999999999999999999 * 99999999999999999999",
                           "-99999999999999999999 * 99999999999999999999 < 0"}) {
    EXPECT_EQ(Eval(text, &value), ErrorExpressionEvaluation) << text;
  }
  EXPECT_EQ(Text("0 / 7"), "0");
  EXPECT_EQ(Text("1 / 3 > 0"), "1");
}

TEST_F(ExpressionTest, NamesAreCaseInsensitiveAndReadCurrentValues) {
  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse("cus:number = loc:reporttype", &expression, nullptr, names_), 0);
  bool result = true;
  ASSERT_EQ(expression->Test(&result), ErrorNone);
  EXPECT_FALSE(result);
  reportType_ = 42;
  ASSERT_EQ(expression->Test(&result), ErrorNone);
  EXPECT_TRUE(result);
}

TEST_F(ExpressionTest, StringFieldsCompareClippedAndCaseSensitive) {
  EXPECT_TRUE(True("CUS:NAME = 'Smith''s Ltd'"));
  EXPECT_TRUE(True("CUS:NAME = 'Smith''s Ltd   '"));
  EXPECT_FALSE(True("CUS:NAME = 'SMITH''S LTD'"));
  EXPECT_TRUE(True("UPPER(CUS:NAME) = 'SMITH''S LTD'"));
  EXPECT_TRUE(True("LOWER(CUS:NAME) = 'smith''s ltd'"));
  EXPECT_TRUE(True("UPPER(CUS:NAME) >= 'S'"));
  EXPECT_FALSE(True("CUS:NAME < 'Smith'"));
  EXPECT_EQ(Text("CUS:NAME & '|'"), "Smith's Ltd|");
  EXPECT_EQ(Text("LEN(CUS:NAME)"), "11");
}

TEST_F(ExpressionTest, ComparisonsWrittenApartAndNegated) {
  EXPECT_TRUE(True("CUS:NUMBER > = 42"));
  EXPECT_TRUE(True("CUS:NUMBER < = 42"));
  EXPECT_FALSE(True("CUS:NUMBER <> 42"));
  EXPECT_FALSE(True("CUS:NUMBER ~= 42"));
  EXPECT_TRUE(True("CUS:NUMBER ~< 42"));
  EXPECT_TRUE(True("CUS:NUMBER => 42 AND CUS:NUMBER =< 42"));
  EXPECT_TRUE(True("NOT CUS:NUMBER = 1"));
  EXPECT_TRUE(True("~(CUS:NUMBER = 1)"));
  EXPECT_TRUE(True("CUS:NUMBER = 1 OR CUS:NUMBER = 42 AND LOC:ReportType = 3"));
  EXPECT_FALSE(True("(CUS:NUMBER = 1 OR CUS:NUMBER = 42) AND LOC:ReportType = 4"));
}

TEST_F(ExpressionTest, QueryFormConditions) {
  // "contains" and "begins with" as query forms build them.
  EXPECT_TRUE(True("INSTRING('LTD',UPPER(CUS:NAME),1,1) <> 0"));
  EXPECT_FALSE(True("INSTRING('CORP',UPPER(CUS:NAME),1,1) <> 0"));
  EXPECT_TRUE(True("UPPER(SUB(CUS:NAME,1,2)) = 'SM'"));
  EXPECT_FALSE(True("UPPER(SUB(CUS:NAME,1,2)) = 'SN'"));
}

TEST_F(ExpressionTest, TextFunctionsStayInsideTheirText) {
  EXPECT_EQ(Text("SUB('ABCDEF', 2, 3)"), "BCD");
  EXPECT_EQ(Text("SUB('ABCDEF', -2, 2)"), "EF");
  EXPECT_EQ(Text("SUB('ABC', 3, 100)"), "C");
  EXPECT_EQ(Text("SUB('ABC', 0, 2)"), "A");
  EXPECT_EQ(Text("SUB('ABC', 9, 2)"), "");
  EXPECT_EQ(Text("SUB('ABC', 2, -1)"), "");
  EXPECT_EQ(Text("SUB('ABC', -99, 99999999999999999999)"), "ABC");
  EXPECT_EQ(Text("CLIP('ab  ') & '|'"), "ab|");
  EXPECT_EQ(Text("INSTRING('B', 'ABCB', 1, 1)"), "2");
  EXPECT_EQ(Text("INSTRING('B', 'ABCB', 1, 3)"), "4");
  EXPECT_EQ(Text("INSTRING('CD', 'ABCDCD', 2, 1)"), "2");
  EXPECT_EQ(Text("INSTRING('B', 'ABCB', -1)"), "4");
  EXPECT_EQ(Text("INSTRING('', 'ABC')"), "0");
  EXPECT_EQ(Text("INSTRING('ABCD', 'ABC')"), "0");
  // Windows-1252 accented letters change case too.
  EXPECT_EQ(Text("UPPER('\xE9lan')"), "\xC9LAN");
  EXPECT_EQ(Text("LOWER('\xC9LAN \x8A')"), "\xE9lan \x9A");
}

TEST_F(ExpressionTest, NumberFunctions) {
  EXPECT_EQ(Text("INT(7.9)"), "7");
  EXPECT_EQ(Text("INT(-7.9)"), "-7");
  EXPECT_EQ(Text("ABS(-2.5)"), "2.5");
  EXPECT_EQ(Text("TODAY()"), std::to_string(Today()));
  EXPECT_EQ(Text("'12abc' + 1"), "13");
}

TEST_F(ExpressionTest, SyntaxErrorsAre800WithAPlace) {
  ExpressionValue value;
  const char* bad[] = {"",       "1 +", "(1",   "1)", "'open", "CUS:NAME =", "UPPER()", "SUB('a')",
                       "FOO(1)", "1 2", "3abc", "$",  "AND",   "1 = = 1",    "NOT"};
  for (const char* text : bad) {
    std::string detail;
    EXPECT_EQ(Eval(text, &value, &detail), ErrorExpressionSyntax) << text;
    EXPECT_FALSE(detail.empty()) << text;
    EXPECT_EQ(CurrentError().code, ErrorExpressionSyntax);
    EXPECT_EQ(CurrentError().text, "Invalid Expression Syntax");
  }
  std::string detail;
  Eval("1 + )", &value, &detail);
  EXPECT_EQ(detail, "unexpected ')' at column 5");
}

TEST_F(ExpressionTest, DeepNestingIsRefusedNotOverflowed) {
  ExpressionValue value;
  EXPECT_EQ(Eval(std::string(100000, '(') + "1" + std::string(100000, ')'), &value),
            ErrorExpressionSyntax);
  EXPECT_EQ(Eval(std::string(100000, '-') + "1", &value), ErrorExpressionSyntax);
  EXPECT_EQ(Eval(std::string(50, '(') + "1" + std::string(50, ')'), &value), ErrorNone);
}

// A chain is not nested, yet evaluating and freeing it recurse once per
// operator: the longest chain accepted must still run on a fiber's 1 MiB stack.
TEST_F(ExpressionTest, LongChainsAreBoundedAndTheLongestAcceptedRunsOnASmallStack) {
  auto chain = [](int terms) {
    std::string text = "CUS:NUMBER";
    for (int i = 1; i < terms; ++i) text += "+1";
    return text;
  };
  std::string detail;
  ExpressionValue value;
  EXPECT_EQ(Eval(chain(21000), &value, &detail), ErrorExpressionSyntax);
  EXPECT_NE(detail.find("longer than"), std::string::npos) << detail;

  // The longest chain accepted: accepted at good, refused at bad.
  int good = 1, bad = 21000;
  while (bad - good > 1) {
    int middle = (good + bad) / 2;
    (Eval(chain(middle), &value) == ErrorNone ? good : bad) = middle;
  }
  ASSERT_GT(good, 100);
  std::string text = chain(good);
  // Evaluated and freed on the small stack.
  struct Job {
    std::unique_ptr<Expression> expression;
    std::string result;
  } job;
  ASSERT_EQ(Expression::Parse(text, &job.expression, nullptr, names_), ErrorNone);
  auto run = [](void* arg) -> void* {
    auto* job = static_cast<Job*>(arg);
    ExpressionValue value;
    if (job->expression->Evaluate(&value) == ErrorNone) job->result = value.text();
    job->expression.reset();
    return nullptr;
  };
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 1 << 20);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, run, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_EQ(job.result, std::to_string(42 + (text.size() - 10) / 2));
}

TEST_F(ExpressionTest, UnknownAndUnboundNamesAre801) {
  ExpressionValue value;
  std::string detail;
  EXPECT_EQ(Eval("CUS:NOSUCH = 1", &value, &detail), ErrorExpressionUnknownName);
  EXPECT_EQ(detail, "unknown name CUS:NOSUCH");
  EXPECT_EQ(CurrentError().text, "Unknown Name In Expression");

  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse("CUS:NUMBER + 1", &expression, nullptr, names_), 0);
  names_.Unbind("CUS:NUMBER");
  EXPECT_EQ(expression->Evaluate(&value), ErrorExpressionUnknownName);
  int32_t other = 7;
  names_.Bind("cus:number", FieldRef::Of(other));
  ASSERT_EQ(expression->Evaluate(&value), ErrorNone);
  EXPECT_EQ(value.text(), "8");
}

TEST_F(ExpressionTest, ImpossibleValuesAre802) {
  ExpressionValue value;
  EXPECT_EQ(Eval("1 / 0", &value), ErrorExpressionEvaluation);
  EXPECT_EQ(Eval("5 % (CUS:NUMBER - 42)", &value), ErrorExpressionEvaluation);
  EXPECT_EQ(Eval("INSTRING('a', 'abc', 0, 1)", &value), ErrorExpressionEvaluation);
  EXPECT_EQ(CurrentError().text, "Expression Evaluation Error");
  // The side that decides an AND or OR is the only one evaluated.
  EXPECT_EQ(Eval("1 = 2 AND 1 / 0 = 1", &value), ErrorNone);
  EXPECT_EQ(Eval("1 = 1 OR 1 / 0 = 1", &value), ErrorNone);
}

TEST_F(ExpressionTest, RangeTermsAreTopLevelComparisonsWithFixedSides) {
  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse("UPPER(CUS:NAME) >= UPPER('s') AND 50 > CUS:NUMBER AND "
                              "(CUS:NUMBER = LOC:ReportType) AND CUS:NUMBER <> 3 AND "
                              "CUS:NUMBER = CUS:NUMBER + 1 AND (CUS:NUMBER = 1 OR CUS:NUMBER = 2)",
                              &expression, nullptr, names_),
            0);
  auto isField = [](const std::string& name) { return name.rfind("CUS:", 0) == 0; };
  std::vector<RangeTerm> terms = expression->RangeTerms(isField);
  ASSERT_EQ(terms.size(), 3u);
  EXPECT_EQ(terms[0].subject, "UPPER(CUS:NAME)");
  EXPECT_EQ(terms[0].op, CompareGreaterEqual);
  EXPECT_EQ(terms[1].subject, "CUS:NUMBER");
  EXPECT_EQ(terms[1].op, CompareLess);
  EXPECT_EQ(terms[2].op, CompareEqual);
  ExpressionValue bound;
  ASSERT_EQ(expression->EvaluateBound(terms[0], &bound), 0);
  EXPECT_EQ(bound.text(), "S");
  ASSERT_EQ(expression->EvaluateBound(terms[2], &bound), 0);
  EXPECT_EQ(bound.text(), "3");
}

}  // namespace
}  // namespace ledora::runtime
