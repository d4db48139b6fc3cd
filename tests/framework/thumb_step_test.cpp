#include "framework/thumb_step.h"

#include <gtest/gtest.h>

#include <string>

namespace ledora::framework {
namespace {

TEST(ThumbStepTableTest, FixedTablesHaveOneHundredEntriesInOrder) {
  const std::string& names = TextStep::NameTable();
  ASSERT_EQ(names.size(), 300u);
  EXPECT_EQ(names.substr(0, 10), "   ALBAMEA");
  EXPECT_EQ(names.substr(294), "WOLYOR");
  const std::string& letters = TextStep::AlphabetTable();
  ASSERT_EQ(letters.size(), 200u);
  EXPECT_EQ(letters.substr(0, 17), "  AFANATB BFBNBTC");
  EXPECT_EQ(letters.substr(194), "YTZ ZN");
  for (const std::string* table : {&names, &letters}) {
    size_t width = table->size() / 100;
    for (size_t i = 1; i < 100; ++i) {
      EXPECT_LT(table->substr((i - 1) * width, width), table->substr(i * width, width)) << i;
    }
  }
}

TEST(NumericStepTest, MapsLinearlyBetweenTheLimits) {
  NumericStep step;
  step.SetRange("1000", "1200.4");
  EXPECT_EQ(step.LOW, 1000);
  EXPECT_EQ(step.HIGH, 1200);
  EXPECT_EQ(step.PercentileOf("1000"), 1);  // 0 becomes 1
  EXPECT_EQ(step.PercentileOf("1101"), 50);
  EXPECT_EQ(step.PercentileOf("1200"), 100);
  EXPECT_EQ(step.ValueAtPercentile(25), "1050");
  EXPECT_EQ(step.ValueAtPercentile(100), "1200");
}

TEST(NumericStepTest, ValuesOutsideTheLimitsStayAtTheEnds) {
  NumericStep step;
  step.SetRange("10", "20");
  EXPECT_EQ(step.PercentileOf("-500"), 1);
  EXPECT_EQ(step.PercentileOf("99999"), 100);
}

TEST(NumericStepTest, EqualLimitsAlwaysGiveTheMiddle) {
  NumericStep step;
  step.SetRange("7", "7");
  EXPECT_EQ(step.PercentileOf("7"), 50);
  EXPECT_EQ(step.PercentileOf("-3"), 50);
}

TEST(NumericStepTest, DescendingOrderPutsItsFirstRecordAtTheTop) {
  NumericStep step;
  step.CONTROLS = StepDescending;
  step.SetRange("200", "0");  // first and last record of the order
  EXPECT_EQ(step.LOW, 0);
  EXPECT_EQ(step.HIGH, 200);
  EXPECT_EQ(step.PercentileOf("200"), 1);
  EXPECT_EQ(step.PercentileOf("150"), 25);
  EXPECT_EQ(step.ValueAtPercentile(25), "150");
  EXPECT_EQ(step.ValueAtPercentile(100), "0");
}

TEST(TextStepTest, NameTablePlacesNamesWithoutAnyRange) {
  TextStep step;
  step.Initialize(0, LookupNames);
  EXPECT_EQ(step.NeedsRange(), 0);
  EXPECT_EQ(step.PercentileOf("ADAMS"), 1);
  EXPECT_EQ(step.PercentileOf("Ziegler"), 100);
  EXPECT_EQ(step.PercentileOf("MACDONALD"), 55);  // MAC is entry 54
  EXPECT_EQ(step.ValueAtPercentile(0), "   ");
  EXPECT_EQ(step.ValueAtPercentile(2), "ALB");
}

TEST(TextStepTest, AlphabetTableAndCaseSensitivity) {
  TextStep step;
  step.Initialize(0, LookupAlphabet);
  EXPECT_EQ(step.TESTLEN, 2);
  EXPECT_EQ(step.PercentileOf("b"), 4);
  step.Initialize(StepCaseSensitive, LookupAlphabet);
  EXPECT_EQ(step.PercentileOf("b"), 100);  // lower case sorts after every capital
}

TEST(TextStepTest, ComputedTableInterpolatesBetweenTheTailsAfterTheRoot) {
  TextStep step;
  step.Initialize(StepLetters, LookupComputed);
  ASSERT_EQ(step.SORTCHARS->substr(0, 26), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(step.SORTCHARS->find('a'), std::string::npos);
  EXPECT_EQ(step.NeedsRange(), 1);
  step.SetRange("SMITH", "smythe");
  EXPECT_EQ(step.ROOT, "SM");
  EXPECT_EQ(std::string(step.REF, 4), "ITHA");
  EXPECT_EQ(step.PercentileOf("SMITH"), 1);
  EXPECT_EQ(step.PercentileOf("SMYTHE"), 100);
  uint8_t middle = step.PercentileOf("SMOOT");
  EXPECT_GT(middle, 30);
  EXPECT_LT(middle, 70);
  EXPECT_EQ(step.ValueAtPercentile(1), "SMITHA");
  EXPECT_EQ(step.PercentileOf("ALPHA"), 1);  // before the root
  EXPECT_EQ(step.PercentileOf("TAYLOR"), 100);
  step.Shutdown();
  EXPECT_EQ(step.SORTCHARS, nullptr);
}

// The limits come in view order, the highest first: the table then ascends
// again, and the mirror puts the first record at the top.
TEST(TextStepTest, DescendingOrderMirrorsTheComputedTable) {
  TextStep step;
  step.Initialize(StepLetters | StepDigits | StepDescending, LookupComputed);
  step.SetRange("Z9", "A0");
  EXPECT_EQ(step.ROOT, "");
  EXPECT_LT(std::string(step.REF, 4), std::string(step.REF + 99 * 4, 4));
  EXPECT_EQ(step.PercentileOf("Z9"), 1);
  EXPECT_LT(step.PercentileOf("Y"), 10);
  EXPECT_GT(step.PercentileOf("B"), 90);
  EXPECT_LT(step.ValueAtPercentile(1), "Z9");
  EXPECT_GT(step.ValueAtPercentile(1), "Y");
}

TEST(TextStepTest, PunctuationCharactersTakePartOnce) {
  TextStep step;
  step.Initialize(StepPunctuation, LookupComputed);
  EXPECT_EQ(step.SORTCHARS->size(), 30u);  // the percent sign is listed twice
  EXPECT_EQ(step.SORTCHARS->front(), ' ');
  EXPECT_EQ(static_cast<unsigned char>(step.SORTCHARS->back()), 163);
}

TEST(TextStepTest, NoSortCharactersLeavesTheTableUnchanged) {
  TextStep step;
  step.Initialize(0, LookupComputed);
  step.SetRange("A", "B");
  EXPECT_EQ(step.ROOT, "");
  EXPECT_EQ(step.ValueAtPercentile(50), "    ");
}

}  // namespace
}  // namespace ledora::framework
