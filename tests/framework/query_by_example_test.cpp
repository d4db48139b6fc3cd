#include "framework/query_by_example.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/expr/expression.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"

namespace ledora::framework {
namespace {

// A customer-like record the filters are evaluated against.
class QueryByExampleTest : public ::testing::Test {
 protected:
  QueryByExampleTest() {
    names.Bind("CUS:NAME", runtime::FieldRef::Of(name));
    names.Bind("CUS:CUSTOMERID", runtime::FieldRef::Of(id));
    query.AddField("CUS:NAME", 's');
    query.AddField("CUS:CUSTOMERID", 'n');
  }

  // The names among candidates that the query's filter selects.
  std::vector<std::string> Selected(const std::vector<std::string>& candidates) {
    std::unique_ptr<runtime::Expression> filter;
    std::string detail;
    EXPECT_EQ(runtime::Expression::Parse(query.BuildFilter(), &filter, &detail, names), 0)
        << query.BuildFilter() << ": " << detail;
    std::vector<std::string> selected;
    if (filter == nullptr) return selected;
    for (size_t i = 0; i < candidates.size(); ++i) {
      runtime::SetText(runtime::FieldRef::Of(name), candidates[i]);
      id = static_cast<int32_t>(i + 1);
      bool hit = false;
      EXPECT_EQ(filter->Test(&hit), 0);
      if (hit) selected.push_back(candidates[i]);
    }
    return selected;
  }

  char name[35];
  int32_t id = 0;
  runtime::NameTable names;
  QueryByExample query;
  const std::vector<std::string> customers{"Acme Ltd", "Smith & Sons", "smythe ltd.", "O'Hara",
                                           "Bolt"};
};

TEST_F(QueryByExampleTest, NothingEnteredGivesABlankFilter) { EXPECT_EQ(query.BuildFilter(), ""); }

TEST_F(QueryByExampleTest, LeadingAsteriskSelectsNamesContainingTheRestInAnyCase) {
  query.Find("CUS:NAME")->example = "*ltd";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"Acme Ltd", "smythe ltd."}));
}

TEST_F(QueryByExampleTest, TrailingAsteriskSelectsNamesBeginningWithTheValue) {
  query.Find("CUS:NAME")->example = "Sm*";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"Smith & Sons", "smythe ltd."}));
}

TEST_F(QueryByExampleTest, LowAndHighFormAClosedRangeAndOverrideTheExample) {
  query.Find("CUS:CUSTOMERID")->low = "2";
  query.Find("CUS:CUSTOMERID")->high = "4";
  query.Find("CUS:CUSTOMERID")->example = "5";
  EXPECT_EQ(Selected(customers),
            (std::vector<std::string>{"Smith & Sons", "smythe ltd.", "O'Hara"}));
}

TEST_F(QueryByExampleTest, OperatorsTakenOffTheExampleCompare) {
  query.Find("CUS:CUSTOMERID")->example = ">=4";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"O'Hara", "Bolt"}));
  query.Find("CUS:CUSTOMERID")->example = "~=1";
  EXPECT_EQ(Selected(customers).size(), 4u);
  query.Find("CUS:CUSTOMERID")->example = "<<3";  // not an operator: equality
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"smythe ltd."}));
}

TEST_F(QueryByExampleTest, ConditionsOfSeveralFieldsAllHold) {
  query.Find("CUS:NAME")->example = "s*";
  query.Find("CUS:CUSTOMERID")->high = "2";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"Smith & Sons"}));
}

TEST_F(QueryByExampleTest, QuotesAndExpressionTextInValuesStayLiteral) {
  query.Find("CUS:NAME")->example = "o'hara";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"O'Hara"}));
  query.Find("CUS:NAME")->example = "x' OR 'a'='a";
  EXPECT_TRUE(Selected(customers).empty());
  query.Find("CUS:NAME")->example.clear();
  query.Find("CUS:CUSTOMERID")->example = "1 OR 1";
  EXPECT_EQ(Selected(customers), (std::vector<std::string>{"Acme Ltd"}));
}

TEST_F(QueryByExampleTest, ValueOfOnlyOperatorsOrAsterisksAddsNothing) {
  query.Find("CUS:NAME")->example = ">=";
  query.Find("CUS:CUSTOMERID")->example = "**";
  EXPECT_EQ(query.BuildFilter(), "");
}

}  // namespace
}  // namespace ledora::framework

namespace ledora::framework {
namespace {

// The form, driven as a user would through the headless presenter.
class QueryFormTest : public ::testing::Test {
 protected:
  QueryFormTest() {
    query.AddField("CUS:NAME", 'S');
    query.AddField("CUS:CUSTOMERID", 'N');
    driver.Start([this] { answer = query.RunUpdateProcedure(); });
  }

  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  QueryByExample query;
  int answer = -1;
};

TEST_F(QueryFormTest, OkKeepsTheTypedValuesForTheFilter) {
  driver.Type(QueryByExample::ExampleEntry(0), "sm*");
  driver.Type(QueryByExample::HighEntry(1), "9");
  driver.Press(QueryByExample::kOkButton);
  driver.Settle();
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(query.BuildFilter(), "SUB(UPPER(CUS:NAME),1,2) = 'SM' AND CUS:CUSTOMERID <= 9");
}

TEST_F(QueryFormTest, CancelLeavesTheEntriesAsTheyWere) {
  driver.Type(QueryByExample::LowEntry(1), "3");
  driver.Press(QueryByExample::kCancelButton);
  driver.Settle();
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(query.BuildFilter(), "");
}

}  // namespace
}  // namespace ledora::framework
