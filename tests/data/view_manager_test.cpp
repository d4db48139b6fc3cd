#include "data/view_manager.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/data/station.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using data::LimitBetween;
using data::LimitEqual;
using data::LimitFollow;
using data::LimitRelation;
using runtime::ButtonOk;
using runtime::FieldRef;

// A manager whose record check the test supplies.
class CheckedViewManager : public data::ViewManager {
 public:
  std::function<uint8_t()> check;
  uint8_t ValidateRecord() override { return check ? check() : 0; }
};

class ViewManagerTest : public ::testing::Test {
 protected:
  ViewManagerTest() {
    errors.Initialize();
    station = std::make_unique<Station>(folder.path(), &errors);
    station->Relate(0, 0, 0, 0);
    station->AddOwner("first");
    station->AddOwner("second");
    for (auto [owner, name] : std::vector<std::pair<int, const char*>>{
             {1, "Alpha"}, {1, "beta"}, {1, "O'Brien"}, {2, "Gamma"}, {2, "delta"}}) {
      station->AddHead(owner, name);
    }
    station->headsRelations.Open();
  }
  ~ViewManagerTest() override {
    manager.Close();
    manager.Shutdown();
    station->headsRelations.Close();
  }

  void Start(runtime::DataFile* file, data::RelationController* primary, int key) {
    view = std::make_unique<runtime::View>(runtime::ViewDeclaration{file, {}, {}});
    manager.Initialize(view.get(), primary);
    manager.AddSortOrder(key);
  }
  // Heads of one owner with numbers from low to high, by the owner key.
  void OwnerWithNumbersBetween(int32_t& owner, int32_t& low, int32_t& high) {
    StartHeads(HeadOwnerKey);
    data::SortOrder& order = *manager.CurrentOrder();
    order.LIMITTYPE = LimitBetween;
    order.AddRangePair(FieldRef::Of(station->HEA.OWNER), FieldRef::Of(owner));
    order.AddRangePair(FieldRef::Of(station->HEA.NUMBER), FieldRef::Of(low));
    order.AddRangePair(FieldRef::Of(station->HEA.NUMBER), FieldRef::Of(high));
  }
  void StartHeads(int key) { Start(station->headsFile.get(), &station->headsRelations, key); }

  // Reads the whole view from the start; head numbers in view order.
  std::vector<int32_t> ReadNumbers() {
    manager.Reset();
    std::vector<int32_t> numbers;
    while (manager.Next() == 0) numbers.push_back(station->HEA.NUMBER);
    return numbers;
  }

  TempFolder folder;
  data::ErrorReporter errors;
  ScriptedMessages messages;
  std::unique_ptr<Station> station;
  std::unique_ptr<runtime::View> view;
  CheckedViewManager manager;
};

// ---------------------------------------------------------------- filter texts

TEST_F(ViewManagerTest, OrderWithoutRangeOrFiltersLeavesTheFilterEmpty) {
  StartHeads(HeadNumberKey);
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 2, 3, 4, 5}));
  EXPECT_EQ(view->filter(), "");
  EXPECT_EQ(view->order(), station->heads.OrderString(HeadNumberKey));
}

TEST_F(ViewManagerTest, QuoteInAStringRangeIsDoubledAndComparedInUpperCase) {
  StartHeads(HeadNameKey);
  char wanted[20];
  SetText(wanted, "o'brien");
  manager.CurrentOrder()->LIMITTYPE = LimitEqual;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.NAME), FieldRef::Of(wanted));
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{3}));
  EXPECT_EQ(view->filter(), "UPPER(HEA:NAME) = UPPER('o''brien')");
}

TEST_F(ViewManagerTest, NumericRangeValueIsWrittenAsANumberWhateverTheVariableHolds) {
  StartHeads(HeadOwnerKey);
  std::string owner = "1 OR 1=1";
  manager.CurrentOrder()->LIMITTYPE = LimitEqual;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.OWNER), FieldRef::Of(owner));
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(view->filter(), "HEA:OWNER = 1");
}

TEST_F(ViewManagerTest, TwoNamedFiltersAreJoinedInIdentifierOrder) {
  StartHeads(HeadNumberKey);
  manager.SetFilter("HEA:NUMBER < 5", "9 - QBE");
  manager.SetStandardFilter("HEA:OWNER = 1");
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(view->filter(), "(HEA:OWNER = 1) AND (HEA:NUMBER < 5)");
}

TEST_F(ViewManagerTest, BlankNamedFilterKeepsItsEntryButAddsNothing) {
  StartHeads(HeadOwnerKey);
  int32_t owner = 2;
  manager.CurrentOrder()->LIMITTYPE = LimitEqual;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.OWNER), FieldRef::Of(owner));
  manager.SetStandardFilter("HEA:NUMBER = 4");
  manager.SetStandardFilter("  ");
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{4, 5}));
  EXPECT_EQ(view->filter(), "HEA:OWNER = 2");
  ASSERT_EQ(manager.CurrentOrder()->FILTER->size(), 1u);
}

TEST_F(ViewManagerTest, BetweenRangeOverOneComponentBoundsOnlyThatComponent) {
  StartHeads(HeadNumberKey);
  int32_t low = 2, high = 4;
  manager.CurrentOrder()->LIMITTYPE = LimitBetween;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.NUMBER), FieldRef::Of(low));
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.NUMBER), FieldRef::Of(high));
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{2, 3, 4}));
  EXPECT_EQ(view->filter(), "HEA:NUMBER >= 2 AND HEA:NUMBER <= 4");
}

TEST_F(ViewManagerTest, BetweenRangeFixesTheLeadingComponents) {
  int32_t owner = 1, low = 2, high = 9;
  OwnerWithNumbersBetween(owner, low, high);
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{2, 3}));
  EXPECT_EQ(view->filter(), "HEA:OWNER = 1 AND HEA:NUMBER >= 2 AND HEA:NUMBER <= 9");
}

TEST_F(ViewManagerTest, RefusedFilterShowsViewOpenErrorAndKeepsTheViewUsable) {
  StartHeads(HeadNumberKey);
  manager.SetStandardFilter("HEA:NUMBER = (");
  messages.Expect("View Open Error", "", ButtonOk);
  EXPECT_EQ(ReadNumbers().size(), 5u);
}

TEST_F(ViewManagerTest, RangeWithMorePairsThanKeyComponentsIsRefusedNotWidened) {
  StartHeads(HeadNumberKey);
  int32_t a = 1, b = 2;
  manager.CurrentOrder()->LIMITTYPE = LimitEqual;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.NUMBER), FieldRef::Of(a));
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.OWNER), FieldRef::Of(b));
  std::string filter;
  EXPECT_FALSE(manager.BuildFilter(&filter));
  EXPECT_EQ(manager.FreeElementPosition(), 0);
}

// ---------------------------------------------------------------- reading

TEST_F(ViewManagerTest, RecordCheckStoppingOnTheFirstRecordReadsAsEmpty) {
  StartHeads(HeadNumberKey);
  manager.check = [] { return uint8_t{1}; };
  manager.Reset();
  EXPECT_EQ(manager.Next(), 5);
  EXPECT_EQ(manager.Previous(), 5);
}

TEST_F(ViewManagerTest, RecordCheckSkipsWhatItDoesNotAccept) {
  StartHeads(HeadNumberKey);
  manager.check = [&] { return static_cast<uint8_t>(station->HEA.NUMBER % 2 == 0 ? 2 : 0); };
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 3, 5}));
  manager.check = [&] { return static_cast<uint8_t>(station->HEA.NUMBER == 4 ? 1 : 0); };
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(ViewManagerTest, ReadingBeforeAnyResetReportsRetrievalErrorAndFatal) {
  StartHeads(HeadNumberKey);
  manager.Open();
  messages.Expect("Record Retrieval Error", "", ButtonOk);
  EXPECT_EQ(manager.Next(), 3);
}

TEST_F(ViewManagerTest, ResetAtBufferValuesStartsThere) {
  StartHeads(HeadNumberKey);
  manager.Open();
  station->HEA.NUMBER = 3;
  manager.Reset(1);
  ASSERT_EQ(manager.Next(), 0);
  EXPECT_EQ(station->HEA.NUMBER, 3);
}

TEST(ViewManagerWithoutViewTest, UninitialisedManagerAnswersFatalInsteadOfReading) {
  data::ViewManager manager;
  EXPECT_EQ(manager.AddSortOrder(0), 0u);
  manager.Reset();
  EXPECT_EQ(manager.Next(), 3);
  EXPECT_EQ(manager.OPENED, 0);
  manager.Shutdown();
}

// ---------------------------------------------------------------- ranges

TEST_F(ViewManagerTest, FollowRangeRebuildsOnlyWhenTheLeftFieldMoved) {
  StartHeads(HeadOwnerKey);
  int32_t owner = 1;
  manager.CurrentOrder()->LIMITTYPE = LimitFollow;
  manager.CurrentOrder()->AddRangePair(FieldRef::Of(station->HEA.OWNER), FieldRef::Of(owner));
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{1, 2, 3}));
  EXPECT_EQ(manager.ApplyRange(), 0);  // the last record read had owner 1
  station->HEA.OWNER = 2;
  EXPECT_EQ(manager.ApplyRange(), 1);
  EXPECT_EQ(owner, 2);
  EXPECT_EQ(ReadNumbers(), (std::vector<int32_t>{4, 5}));
}

TEST_F(ViewManagerTest, RelationRangeFollowsTheParentAndPrimesNewChildren) {
  for (const char* text : {"a", "b"}) station->AddLine(1, text);
  station->AddLine(2, "c");
  station->linesRelations.Open();
  Start(station->linesFile.get(), &station->linesRelations, LineNumberKey);
  manager.AddRange(&station->linesRelations, &station->headsRelations);
  data::SortOrder& order = *manager.CurrentOrder();
  ASSERT_EQ(order.RANGELIST.size(), 1u);
  EXPECT_EQ(order.RANGELIST[0].LEFT.address, &station->LIN.HEAD);
  EXPECT_EQ(manager.FreeElementName(), "LIN:LINE");

  station->HEA.NUMBER = 1;
  EXPECT_EQ(manager.ApplyRange(), 1);
  manager.Reset();
  int lines = 0;
  while (manager.Next() == 0) ++lines;
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(view->filter(), "LIN:HEAD = 1");
  EXPECT_EQ(manager.ApplyRange(), 0);

  station->HEA.NUMBER = 2;
  EXPECT_EQ(manager.ApplyRange(), 1);
  EXPECT_EQ(view->filter(), "LIN:HEAD = 2");
  SetText(station->LIN.TEXT, "stale");
  EXPECT_EQ(manager.PrimeRecord(), 0);
  EXPECT_EQ(station->LIN.HEAD, 2);
  EXPECT_EQ(station->LIN.LINE, 2);  // numbered within head 2
  EXPECT_EQ(Text(station->LIN.TEXT), "");
  station->linesRelations.CancelAutoInc();
  manager.Close();
  station->linesRelations.Close();
}

TEST_F(ViewManagerTest, BetweenRangePrimesOnlyTheFixedComponents) {
  int32_t owner = 2, low = 1, high = 3;
  OwnerWithNumbersBetween(owner, low, high);
  station->heads.HASAUTOINC = 0;
  EXPECT_EQ(manager.PrimeRecord(), 0);
  EXPECT_EQ(station->HEA.OWNER, 2);
  EXPECT_EQ(station->HEA.NUMBER, 0);
}

// ---------------------------------------------------------------- sort orders

TEST_F(ViewManagerTest, SortOrdersSwitchAndFreeElementsFollowTheirKeys) {
  StartHeads(HeadNumberKey);
  EXPECT_EQ(manager.AddSortOrder(HeadNameKey), 2u);
  EXPECT_EQ(manager.FreeElementName(), "UPPER(HEA:NAME)");
  EXPECT_EQ(manager.SetSort(2), 0);
  EXPECT_EQ(manager.SetSort(0), 1);
  EXPECT_EQ(manager.FreeElementName(), "HEA:NUMBER");
  EXPECT_EQ(manager.SetSort(7), 0);
  manager.AddSortOrder();
  EXPECT_EQ(manager.FreeElementPosition(), 0);
  EXPECT_EQ(manager.FreeElementName(), "");
  manager.SetSort(2);
  EXPECT_EQ(ReadNumbers(),
            (std::vector<int32_t>{1, 2, 5, 4, 3}));  // Alpha beta delta Gamma O'Brien
}

}  // namespace
}  // namespace ledora::testing
