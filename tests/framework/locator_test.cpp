#include "framework/locator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/window/event.h"

namespace ledora::framework {
namespace {

// A sorted list of names; stepping down loads the next name into the
// record field the locator watches.
class NameList : public LocatorList {
 public:
  explicit NameList(std::vector<std::string> names) : names_(std::move(names)) {}
  bool HasRows() override { return !names_.empty(); }
  void StepDown() override {
    if (row_ + 1 < names_.size()) ++row_;
    runtime::SetText(runtime::FieldRef::Of(name), names_[row_]);
  }
  char name[20] = {};

 private:
  std::vector<std::string> names_;
  size_t row_ = 0;
};

class LocatorTest : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> names, bool noCase) {
    list = std::make_unique<NameList>(std::move(names));
    locator.Initialize(nullptr, 12, runtime::FieldRef::Of(list->name), noCase);
    runtime::SetText(runtime::FieldRef::Of(list->name), "Adams");
  }
  std::string Name() { return runtime::GetText(runtime::FieldRef::Of(list->name)); }

  std::unique_ptr<NameList> list;
  Locator locator;
};

TEST_F(LocatorTest, TypingANewLetterPositionsAtThatLetter) {
  Start({"Adams", "Baker", "Brown", "Carter"}, true);
  EXPECT_EQ(locator.OnKeyPressed('C', *list), 1);
  EXPECT_EQ(Name(), "c");  // the next record, Baker, does not begin with it
}

TEST_F(LocatorTest, TypingTheSameLetterStepsThroughRecordsBeginningWithIt) {
  Start({"Adams", "Baker", "Brown", "Carter"}, true);
  locator.OnKeyPressed('B', *list);
  runtime::SetText(runtime::FieldRef::Of(list->name), "Baker");  // the browse repositioned
  EXPECT_EQ(locator.OnKeyPressed('B', *list), 1);
  EXPECT_EQ(Name(), "Brown");  // the next record begins with it: no new position
}

TEST_F(LocatorTest, CaseCountsUnlessTheLocatorIgnoresIt) {
  Start({"Adams", "adler"}, false);
  EXPECT_EQ(locator.OnKeyPressed('A' | runtime::KeyShift, *list), 1);
  EXPECT_EQ(Name(), "A");
  Start({"Adams", "adler"}, true);
  EXPECT_EQ(locator.OnKeyPressed('A', *list), 1);
  EXPECT_EQ(Name(), "adler");
}

TEST_F(LocatorTest, KeysThatTypeNothingAreNotTaken) {
  Start({"Adams", "Baker"}, true);
  EXPECT_EQ(locator.OnKeyPressed(runtime::KeyDown, *list), 0);
  EXPECT_EQ(locator.OnKeyPressed('B' | runtime::KeyCtrl, *list), 0);
  EXPECT_EQ(locator.OnKeyPressed(runtime::KeyF1, *list), 0);
  EXPECT_EQ(Name(), "Adams");
}

TEST_F(LocatorTest, EmptyListStillTakesTheTypedLetter) {
  Start({}, true);
  EXPECT_EQ(locator.OnKeyPressed('7', *list), 1);
  EXPECT_EQ(Name(), "7");
}

}  // namespace
}  // namespace ledora::framework
