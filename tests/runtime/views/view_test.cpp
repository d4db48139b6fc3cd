#include "runtime/views/view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "runtime/storage/sqlite_data_file.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/views/view_files.h"

namespace ledora::runtime {
namespace {

using testing::CustomerCityKey;
using testing::Station;

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    station_.Open();
    station_.BindNames();
  }
  void TearDown() override {
    BoundNames().UnbindRecord(testing::CustomerLayout());
    BoundNames().UnbindRecord(testing::InvoiceLayout());
    BoundNames().Unbind("LOC:City");
  }

  std::unique_ptr<View> MakeView(const std::string& order, const std::string& filter = "") {
    ViewDeclaration declaration;
    declaration.primary = &station_.customers();
    auto view = std::make_unique<View>(declaration);
    EXPECT_EQ(view->Open(), ErrorNone);
    EXPECT_EQ(view->SetOrder(order), ErrorNone);
    EXPECT_EQ(view->SetFilter(filter), ErrorNone);
    return view;
  }

  // Customer numbers read in one direction until the end.
  std::vector<int32_t> Read(View& view, bool forward = true, int limit = 1000) {
    std::vector<int32_t> numbers;
    while (static_cast<int>(numbers.size()) < limit &&
           (forward ? view.Next() : view.Previous()) == ErrorNone) {
      numbers.push_back(station_.cus.number);
    }
    return numbers;
  }

  void AddNumbered(int count) {
    station_.BeginBatch();
    for (int i = 1; i <= count; ++i) {
      station_.AddCustomer(i, ("Name" + std::to_string(1000 + i)).c_str(),
                           i % 3 == 0 ? "Paris" : "Rome", i * 100);
    }
    station_.EndBatch();
  }

  // Rows SQLite has handed the customers file so far.
  int64_t Stepped() { return static_cast<SqliteDataFile&>(station_.customers()).rowsStepped(); }

  testing::TempFolder folder_;
  Station station_{folder_};
};

TEST_F(ViewTest, OrderFollowsTheKeyItNamesInEitherDirection) {
  station_.AddCustomer(1, "smith", "Rome");
  station_.AddCustomer(2, "Adams", "Paris");
  station_.AddCustomer(3, "Miller", "Rome");
  station_.AddCustomer(4, "SMYTH", "Oslo");
  auto view = MakeView("UPPER(CUS:NAME)");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{2, 3, 1, 4}));
  EXPECT_TRUE(view->keyed());

  ASSERT_EQ(view->SetOrder("-CUS:NUMBER"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{4, 3, 2, 1}));
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view, false), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(view->keyed());

  // A key of mixed directions serves its order and the full reverse of it;
  // any other mix is sorted apart, with the same result.
  station_.AddCustomer(5, "Jones", "Rome");
  const std::vector<int32_t> byCity = {4, 2, 5, 3, 1};
  for (const char* order :
       {"CUS:CITY, -CUS:NUMBER", "-CUS:CITY,+CUS:NUMBER", "CUS:CITY,CUS:NUMBER"}) {
    ASSERT_EQ(view->SetOrder(order), ErrorNone);
    ASSERT_EQ(view->Start(), ErrorNone);
    std::vector<int32_t> read = Read(*view);
    bool mixed = std::string(order) != "CUS:CITY,CUS:NUMBER";
    EXPECT_EQ(view->keyed(), mixed) << order;
    if (std::string(order) == "-CUS:CITY,+CUS:NUMBER") std::reverse(read.begin(), read.end());
    if (!mixed) std::swap(read[2], read[4]);
    EXPECT_EQ(read, byCity) << order;
  }
}

TEST_F(ViewTest, RangeTermsBoundTheKeyWalk) {
  AddNumbered(1000);
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER >= 500 AND CUS:NUMBER < 510");
  ASSERT_EQ(view->Start(), ErrorNone);
  std::vector<int32_t> forward = Read(*view);
  ASSERT_EQ(forward.size(), 10u);
  EXPECT_EQ(forward.front(), 500);
  // The ten records, and one more that shows the range has ended.
  EXPECT_LE(view->rowsRead(), 11);

  int64_t before = view->rowsRead();
  ASSERT_EQ(view->Start(), ErrorNone);
  std::vector<int32_t> backward = Read(*view, false);
  ASSERT_EQ(backward.size(), 10u);
  EXPECT_EQ(backward.front(), 509);
  EXPECT_LE(view->rowsRead() - before, 12);
}

TEST_F(ViewTest, ARangeStepsOnlyItsOwnRowsInStorage) {
  AddNumbered(1000);
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER >= 500 AND CUS:NUMBER <= 509");
  ASSERT_EQ(view->Start(), ErrorNone);
  int64_t before = Stepped();
  EXPECT_EQ(Read(*view).size(), 10u);
  EXPECT_EQ(Stepped() - before, 10);
  ASSERT_EQ(view->Start(), ErrorNone);
  before = Stepped();
  EXPECT_EQ(Read(*view, false).front(), 509);
  EXPECT_EQ(Stepped() - before, 10);

  // A range of the first component of a two-component key: Paris, and
  // then not the first Rome record.
  ASSERT_EQ(view->SetOrder("-CUS:NUMBER"), ErrorNone);
  ASSERT_EQ(view->SetFilter("CUS:CITY = 'Paris'"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  before = Stepped();
  std::vector<int32_t> paris = Read(*view);
  ASSERT_EQ(paris.size(), 333u);
  EXPECT_EQ(paris.front(), 999);
  EXPECT_EQ(Stepped() - before, 333);
}

TEST_F(ViewTest, ARangeBoundChangedWhileReadingMovesTheEnd) {
  AddNumbered(20);
  int32_t top = 5;
  BoundNames().Bind("LOC:Top", FieldRef::Of(top));
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER <= LOC:Top");
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(Read(*view, true, 3), (std::vector<int32_t>{1, 2, 3}));
  top = 8;
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{4, 5, 6, 7, 8}));
  top = 2;
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{1, 2}));
  BoundNames().Unbind("LOC:Top");
}

TEST_F(ViewTest, ResetAfterAPositionReadsOnlyTheRowsBeyondIt) {
  AddNumbered(100);
  auto view = MakeView("CUS:NUMBER");
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(Read(*view, true, 50).back(), 50);
  std::string fiftieth = view->Position();
  ASSERT_EQ(Read(*view, true, 20).back(), 70);
  int64_t before = view->rowsRead();
  ASSERT_EQ(view->ResetAfterPosition(fiftieth), ErrorNone);
  EXPECT_EQ(Read(*view, true, 20).front(), 51);
  EXPECT_EQ(view->rowsRead() - before, 20);
  ASSERT_EQ(view->ResetAfterPosition(fiftieth), ErrorNone);
  EXPECT_EQ(Read(*view, false, 2), (std::vector<int32_t>{49, 48}));
  // Past the record read last nothing is read again.
  before = view->rowsRead();
  ASSERT_EQ(view->ResetAfterPosition(view->Position()), ErrorNone);
  EXPECT_EQ(Read(*view, false, 1), (std::vector<int32_t>{47}));
  EXPECT_EQ(view->rowsRead() - before, 1);

  // A record deleted since keeps its place.
  station_.cus.number = 50;
  ASSERT_EQ(station_.customers().Fetch(testing::CustomerNumberKey), ErrorNone);
  ASSERT_EQ(station_.customers().Delete(), ErrorNone);
  ASSERT_EQ(view->ResetAfterPosition(fiftieth), ErrorNone);
  EXPECT_EQ(Read(*view, true, 1), (std::vector<int32_t>{51}));
  ASSERT_EQ(view->ResetAfterPosition(fiftieth), ErrorNone);
  EXPECT_EQ(Read(*view, false, 1), (std::vector<int32_t>{49}));

  // The same in a sorted snapshot.
  ASSERT_EQ(view->SetOrder("-CUS:BALANCE"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_FALSE(view->keyed());
  ASSERT_EQ(Read(*view, true, 3), (std::vector<int32_t>{100, 99, 98}));
  std::string third = view->Position();
  ASSERT_EQ(view->ResetAfterPosition(third), ErrorNone);
  EXPECT_EQ(Read(*view, true, 1), (std::vector<int32_t>{97}));
  ASSERT_EQ(view->ResetAfterPosition(third), ErrorNone);
  EXPECT_EQ(Read(*view, false, 1), (std::vector<int32_t>{99}));
}

TEST_F(ViewTest, EqualityOnLeadingComponentsLetsAKeyServeTheRest) {
  AddNumbered(300);
  auto view = MakeView("-CUS:NUMBER", "CUS:CITY = 'Paris' AND CUS:NUMBER <= 30");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_TRUE(view->keyed());
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{30, 27, 24, 21, 18, 15, 12, 9, 6, 3}));
  EXPECT_LE(view->rowsRead(), 11);
}

TEST_F(ViewTest, CaseInsensitiveRangeUsesUpperOnBothSides) {
  station_.AddCustomer(1, "smith", "Rome");
  station_.AddCustomer(2, "Smith", "Rome");
  station_.AddCustomer(3, "Smyth", "Rome");
  station_.AddCustomer(4, "SMITH", "Rome");
  station_.AddCustomer(5, "Adams", "Rome");
  auto view = MakeView("UPPER(CUS:NAME)", "UPPER(CUS:NAME) = UPPER('Smith')");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{1, 2, 4}));

  // The index folds only ASCII letters; accented ones still match by UPPER.
  station_.AddCustomer(7, "\xE9lan", "Rome");
  station_.AddCustomer(8, "\xC9LAN", "Rome");
  station_.AddCustomer(9, "\xD6lan", "Rome");  // between the two in the index
  ASSERT_EQ(view->SetFilter("UPPER(CUS:NAME) = '\xC9LAN'"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  std::vector<int32_t> accented = Read(*view);
  std::sort(accented.begin(), accented.end());
  EXPECT_EQ(accented, (std::vector<int32_t>{7, 8}));

  // The filter a query form builds for "begins with".
  ASSERT_EQ(view->SetFilter("UPPER(SUB(CUS:NAME,1,2)) = 'SM'"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view).size(), 4u);
  // And for "contains", with a quote doubled inside the text.
  station_.AddCustomer(6, "O'Brien Ltd", "Rome");
  ASSERT_EQ(view->SetFilter("INSTRING('''BRIEN',UPPER(CUS:NAME),1,1) <> 0"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{6}));
}

TEST_F(ViewTest, TermsUnderAnOrStillFilterEveryRecord) {
  AddNumbered(30);
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER = 4 OR CUS:NUMBER = 25 OR CUS:CITY = 'Nowhere'");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{4, 25}));
}

TEST_F(ViewTest, BoundsOutsideTheFieldsRangeDoNotWrap) {
  AddNumbered(5);
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER >= 99999999999");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_TRUE(Read(*view).empty());
  ASSERT_EQ(view->SetFilter("CUS:NUMBER <= 99999999999 AND CUS:NUMBER > -99999999999"), 0);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view).size(), 5u);
}

TEST_F(ViewTest, AnOrderNoKeyServesReadsASortedSnapshot) {
  station_.AddCustomer(1, "A", "Rome", 500);
  station_.AddCustomer(2, "B", "Oslo", 100);
  station_.AddCustomer(3, "C", "Rome", 900);
  station_.AddCustomer(4, "D", "Oslo", 300);
  auto view = MakeView("CUS:CITY,-CUS:BALANCE");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_FALSE(view->keyed());
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{4, 2, 3, 1}));
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view, false), (std::vector<int32_t>{1, 3, 2, 4}));

  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(view->Next(), ErrorNone);
  ASSERT_EQ(view->Next(), ErrorNone);
  std::string second = view->Position();
  ASSERT_EQ(view->ResetToPosition(second), ErrorNone);
  EXPECT_EQ(Read(*view, false), (std::vector<int32_t>{2, 4}));

  AssignPadded(station_.cus.city, "Rome");
  ASSERT_EQ(view->ResetToValues(1), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{3, 1}));
}

TEST_F(ViewTest, PositionsSurviveInsertsAndDeletesByAnotherStation) {
  for (int i = 1; i <= 9; ++i) station_.AddCustomer(i * 10, "N", "Rome");
  auto view = MakeView("CUS:NUMBER");
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(Read(*view, true, 3), (std::vector<int32_t>{10, 20, 30}));
  std::string third = view->Position();
  ASSERT_EQ(view->Next(), ErrorNone);
  std::string fourth = view->Position();

  Station other(folder_);
  other.Open();
  other.AddCustomer(25, "N", "Rome");
  other.AddCustomer(35, "N", "Rome");
  ASSERT_EQ(view->ResetToPosition(third), ErrorNone);
  EXPECT_EQ(Read(*view, true, 3), (std::vector<int32_t>{30, 35, 40}));

  // The fourth record is gone: its place is still between 35 and 50.
  other.cus.number = 40;
  ASSERT_EQ(other.customers().Fetch(testing::CustomerNumberKey), ErrorNone);
  ASSERT_EQ(other.customers().Delete(), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(view->ResetToPosition(fourth), ErrorNone);
  EXPECT_EQ(Read(*view, true, 2), (std::vector<int32_t>{50, 60}));
  ASSERT_EQ(view->ResetToPosition(fourth), ErrorNone);
  EXPECT_EQ(Read(*view, false, 2), (std::vector<int32_t>{35, 30}));
  EXPECT_EQ(view->Reread(fourth), ErrorRecordNotFound);
}

TEST_F(ViewTest, PagingOnFromTheLastRowCostsOneReadPerRow) {
  AddNumbered(100);
  auto view = MakeView("CUS:NUMBER");
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(Read(*view, true, 20).back(), 20);
  EXPECT_EQ(view->rowsRead(), 20);
  // The page's last row is read again for free, then the next page.
  ASSERT_EQ(view->ResetToPosition(view->Position()), ErrorNone);
  ASSERT_EQ(view->Next(), ErrorNone);
  EXPECT_EQ(station_.cus.number, 20);
  EXPECT_EQ(Read(*view, true, 20).back(), 40);
  EXPECT_EQ(view->rowsRead(), 40);
  // A position elsewhere reads that record again.
  ASSERT_EQ(view->Start(), ErrorNone);
  ASSERT_EQ(view->Next(), ErrorNone);
  std::string first = view->Position();
  Read(*view, true, 5);
  ASSERT_EQ(view->ResetToPosition(first), ErrorNone);
  ASSERT_EQ(view->Next(), ErrorNone);
  EXPECT_EQ(station_.cus.number, 1);
}

TEST_F(ViewTest, ResetToValuesAndToTheRecordInTheBuffer) {
  station_.AddCustomer(1, "Adams", "Rome");
  station_.AddCustomer(2, "Miller", "Rome");
  station_.AddCustomer(3, "Smith", "Rome");
  auto view = MakeView("UPPER(CUS:NAME)");
  ASSERT_EQ(view->Start(), ErrorNone);
  AssignPadded(station_.cus.name, "m");
  ASSERT_EQ(view->ResetToValues(1), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{2, 3}));
  ASSERT_EQ(view->ResetToValues(1), ErrorNone);  // the buffer now holds Smith
  EXPECT_EQ(Read(*view, false), (std::vector<int32_t>{3, 2, 1}));

  station_.cus.number = 2;
  ASSERT_EQ(station_.customers().Fetch(testing::CustomerNumberKey), ErrorNone);
  AssignPadded(station_.cus.name, "Zed");
  ASSERT_EQ(station_.customers().Put(), ErrorNone);
  ASSERT_EQ(view->ResetToRecord(), ErrorNone);
  EXPECT_EQ(Read(*view, false), (std::vector<int32_t>{2, 3, 1}));
}

TEST_F(ViewTest, RangeFollowsTheBoundVariableAtEachRead) {
  AddNumbered(12);
  std::string city = "Paris";
  BoundNames().Bind("LOC:City", FieldRef::Of(city));
  auto view = MakeView("-CUS:NUMBER", "(CUS:CITY = LOC:City)");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{12, 9, 6, 3}));
  std::string paris = view->Position();

  // A reset to a row of the old range lands at the new range's start, also
  // without a new start.
  city = "Rome";
  ASSERT_EQ(view->ResetToPosition(paris), ErrorNone);
  EXPECT_EQ(Read(*view, true, 3), (std::vector<int32_t>{11, 10, 8}));
}

TEST_F(ViewTest, JoinsReadTheRelatedRecordOrLeaveTheRowOut) {
  station_.AddCustomer(1, "Adams", "Paris");
  station_.AddCustomer(2, "Miller", "Rome");
  station_.AddInvoice(100, 2);
  station_.AddInvoice(101, 7);
  station_.AddInvoice(102, 1);
  ViewDeclaration declaration;
  declaration.primary = &station_.invoices();
  ViewJoin join;
  join.file = &station_.customers();
  join.key = testing::CustomerNumberKey;
  join.linkFields = {1};
  declaration.joins = {join};
  declaration.projection = {"INV:NUMBER", "CUS:NAME"};
  View outer(declaration);
  ASSERT_EQ(outer.Open(), ErrorNone);
  ASSERT_EQ(outer.SetOrder("INV:NUMBER"), ErrorNone);
  ASSERT_EQ(outer.Start(), ErrorNone);
  std::vector<std::string> names;
  while (outer.Next() == ErrorNone) names.push_back(station_.Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Miller", "", "Adams"}));

  declaration.joins[0].kind = JoinInner;
  View inner(declaration);
  ASSERT_EQ(inner.Open(), ErrorNone);
  ASSERT_EQ(inner.SetOrder("INV:NUMBER"), ErrorNone);
  ASSERT_EQ(inner.SetFilter("CUS:CITY = 'Paris'"), ErrorNone);
  ASSERT_EQ(inner.Start(), ErrorNone);
  ASSERT_EQ(inner.Next(), ErrorNone);
  EXPECT_EQ(station_.inv.number, 102);
  EXPECT_EQ(inner.Next(), ErrorRecordNotAvailable);
  EXPECT_EQ(station_.inv.number, 102);  // an unsuccessful read leaves the buffers

  declaration.projection = {"CUS:NOSUCH"};
  View bad(declaration);
  EXPECT_EQ(bad.Open(), ErrorInvalidRecordDeclaration);
  declaration.projection.clear();
  declaration.joins[0].linkFields = {9};
  View badLink(declaration);
  EXPECT_EQ(badLink.Open(), ErrorInvalidRecordDeclaration);
}

TEST_F(ViewTest, RefusedTextsAndMisuseGiveCodes) {
  AddNumbered(3);
  auto view = MakeView("CUS:NUMBER", "CUS:NUMBER > 1");
  EXPECT_EQ(view->Next(), ErrorEntryNotFound);  // no start yet
  EXPECT_EQ(view->SetFilter("CUS:NUMBER >"), ErrorExpressionSyntax);
  EXPECT_EQ(view->refusal(), "unexpected end at column 13");
  EXPECT_EQ(view->SetFilter("CUS:NOSUCH = 1"), ErrorExpressionUnknownName);
  EXPECT_EQ(view->SetOrder("UPPER(CUS:NOSUCH)"), ErrorExpressionUnknownName);
  EXPECT_EQ(view->filter(), "CUS:NUMBER > 1");
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(Read(*view), (std::vector<int32_t>{2, 3}));

  ASSERT_EQ(view->SetFilter("10 / (CUS:NUMBER - 2) > 0"), ErrorNone);
  ASSERT_EQ(view->Start(), ErrorNone);
  EXPECT_EQ(view->Next(), ErrorExpressionEvaluation);
  EXPECT_EQ(view->Next(), ErrorNone);  // the reading goes on past the record
  EXPECT_EQ(station_.cus.number, 3);

  view->Close();
  EXPECT_EQ(view->Start(), ErrorFileNotOpen);
  station_.customers().Close();
  ViewDeclaration declaration;
  declaration.primary = &station_.customers();
  View closed(declaration);
  EXPECT_EQ(closed.Open(), ErrorFileNotOpen);
}

}  // namespace
}  // namespace ledora::runtime
