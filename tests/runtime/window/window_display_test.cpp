#include <gtest/gtest.h>

#include <cstring>

#include "tests/runtime/window/window_test_support.h"

namespace ledora::runtime {
namespace {

class WindowDisplayTest : public ::testing::Test, public WindowFixture {};

TEST_F(WindowDisplayTest, EntryShowsItsVariableThroughThePictureAndReadsTypingBack) {
  unsigned char price[5] = {};
  PackDecimal(Decimal::FromUnits(1250, 2), price, 5, 2);
  Window& w = first.window;
  w.CreateControl(1, ControlEntry);
  w.SetUse(1, FieldRef::Packed(price, 5, 2));
  ASSERT_TRUE(w.SetPicture(1, "@n-13.2"));
  StartFirst();
  EXPECT_EQ(driver.Shown(1), "        12.50");

  driver.Type(1, "7.5");
  EXPECT_EQ(UnpackDecimal(price, 5, 2), Decimal::FromUnits(750, 2));
  EXPECT_EQ(driver.Shown(1), "         7.50") << "what was typed shows as the picture shows it";
  EXPECT_EQ(first.Count(EventAccepted, 1), 1);
}

TEST_F(WindowDisplayTest, TextThePictureCannotReadIsRejectedAndTheVariableKept) {
  int32_t quantity = 3;
  Window& w = first.window;
  w.CreateControl(1, ControlEntry);
  w.SetUse(1, FieldRef::Of(quantity));
  w.SetPicture(1, "@n-13");
  StartFirst();
  driver.Type(1, "three");
  EXPECT_EQ(quantity, 3);
  EXPECT_EQ(first.Count(EventRejected, 1), 1);
  EXPECT_EQ(first.Count(EventAccepted, 1), 0);
  EXPECT_EQ(first.Last(EventRejected)->accepted, 1);
}

TEST_F(WindowDisplayTest, StringVariablesAreBlankPaddedAndShownClipped) {
  char name[10];
  std::memset(name, ' ', sizeof name);
  std::memcpy(name, "Ann", 3);
  Window& w = first.window;
  w.CreateControl(1, ControlEntry);
  w.SetUse(1, FieldRef::Of(name));
  StartFirst();
  EXPECT_EQ(driver.Shown(1), "Ann");
  driver.Type(1, "Bob");
  EXPECT_EQ(std::string(name, sizeof name), "Bob       ");
}

TEST_F(WindowDisplayTest, ChecksAndRadiosStoreTheirValues) {
  char flag[1] = {'N'};
  int32_t choice = 2;
  Window& w = first.window;
  w.CreateControl(1, ControlCheck);
  w.SetUse(1, FieldRef::Of(flag));
  w.SetCheckValues(1, "Y", "N");
  w.CreateControl(2, ControlOption);
  w.SetUse(2, FieldRef::Of(choice));
  for (int32_t radio = 3; radio <= 5; ++radio) {
    w.CreateControl(radio, ControlRadio, 2);
    w.SetRadioValue(radio, std::to_string(radio - 2));
  }
  StartFirst();
  EXPECT_FALSE(driver.IsChecked(1));
  EXPECT_TRUE(driver.IsChecked(4));
  EXPECT_FALSE(driver.IsChecked(3));

  driver.Press(1);
  EXPECT_EQ(flag[0], 'Y');
  EXPECT_TRUE(driver.IsChecked(1));
  driver.Press(5);
  EXPECT_EQ(choice, 3);
  EXPECT_TRUE(driver.IsChecked(5));
  EXPECT_FALSE(driver.IsChecked(4));
  EXPECT_EQ(first.Count(EventAccepted, 2), 1) << "a radio's choice is accepted on its option";
}

class Rows : public ListSource {
 public:
  struct Row {
    int32_t id;
    char name[6];
  };
  std::vector<Row> rows;
  int32_t RowCount() const override { return static_cast<int32_t>(rows.size()); }
  FieldRef Cell(int32_t row, int32_t column) const override {
    Row& r = const_cast<Row&>(rows[row - 1]);
    if (column == 0) return FieldRef::Of(r.id);
    if (column == 1) return FieldRef::Of(r.name);
    return {};
  }
};

TEST_F(WindowDisplayTest, ListRowsAreFormattedThroughTheColumnPictures) {
  Rows source;
  source.rows = {{7, "Alpha"}, {1234, "Beta "}};
  Window& w = first.window;
  w.CreateControl(1, ControlList);
  ASSERT_TRUE(w.SetListFormat(1, "45R(2)|M~ID~C(0)@n-7@80L(2)|M~Name~@s5@20L"));
  w.SetListSource(1, &source);
  StartFirst();
  ASSERT_EQ(driver.RowCount(1), 2);
  EXPECT_EQ(driver.ShownRow(1, 2), (std::vector<std::string>{"1,234", "Beta", ""}));

  source.rows.pop_back();
  w.SetSelection(1, 2);
  w.Display(1);
  EXPECT_EQ(driver.RowCount(1), 1);
  EXPECT_EQ(driver.Selection(1), 1) << "the selection never points past the rows";
}

TEST_F(WindowDisplayTest, AcceptAllValidatesEachInputThenCompletes) {
  int32_t a = 1, b = 2;
  Window& w = first.window;
  w.CreateControl(1, ControlEntry);
  w.SetUse(1, FieldRef::Of(a));
  w.CreateControl(2, ControlPrompt);
  w.CreateControl(3, ControlEntry);
  w.SetUse(3, FieldRef::Of(b));
  w.CreateControl(4, ControlEntry);
  w.SetHidden(4, true);
  w.CreateControl(9, ControlButton);
  first.onEvent = [](Window& window, const Event& e) {
    if (e.number == EventAccepted && e.control == 9) window.StartAcceptAll();
  };
  StartFirst();
  first.events.clear();
  w.Find(3)->text = "42";  // typed but never left
  driver.Press(9);
  std::vector<int32_t> order;
  for (const Event& e : first.events) order.push_back(e.number * 100 + e.control);
  EXPECT_EQ(order, (std::vector<int32_t>{EventAccepted * 100 + 9, EventAccepted * 100 + 1,
                                         EventAccepted * 100 + 3, EventCompleted * 100}));
  EXPECT_EQ(b, 42) << "validation reads every control back";
  EXPECT_FALSE(w.IsAcceptingAll());
}

TEST_F(WindowDisplayTest, AcceptAllStopsAtABadControlOrWhenTheProcedureSelectsOne) {
  int32_t a = 1, b = 2;
  Window& w = first.window;
  w.CreateControl(1, ControlEntry);
  w.SetUse(1, FieldRef::Of(a));
  w.CreateControl(3, ControlEntry);
  w.SetUse(3, FieldRef::Of(b));
  w.CreateControl(9, ControlButton);
  bool refuseFirst = false;
  first.onEvent = [&](Window& window, const Event& e) {
    if (e.number == EventAccepted && e.control == 9) window.StartAcceptAll();
    if (e.number == EventAccepted && e.control == 1 && refuseFirst) window.Select(1);
  };
  StartFirst();
  w.Find(3)->text = "x";
  driver.Press(9);
  EXPECT_EQ(first.Count(EventRejected, 3), 1);
  EXPECT_EQ(first.Count(EventCompleted), 0);

  first.events.clear();
  w.Find(3)->text = "5";
  refuseFirst = true;
  driver.Press(9);
  EXPECT_EQ(first.Count(EventAccepted, 3), 0) << "selecting a control ends the validation";
  EXPECT_EQ(first.Count(EventCompleted), 0);
  EXPECT_EQ(w.FocusedControl(), 1);
}

TEST_F(WindowDisplayTest, SheetSelectionFollowsItsVariable) {
  int32_t tab = 2;
  Window& w = first.window;
  w.CreateControl(1, ControlSheet);
  w.SetUse(1, FieldRef::Of(tab));
  w.CreateControl(2, ControlTab, 1);
  w.CreateControl(3, ControlTab, 1);
  StartFirst();
  EXPECT_EQ(driver.Selection(1), 2);
  driver.ChooseTab(1, 1);
  EXPECT_EQ(tab, 1);
  EXPECT_EQ(first.Count(EventNewSelection, 1), 1);
  driver.ChooseTab(1, 1);
  EXPECT_EQ(first.Count(EventNewSelection, 1), 1) << "the same tab again is no change";
}

}  // namespace
}  // namespace ledora::runtime
