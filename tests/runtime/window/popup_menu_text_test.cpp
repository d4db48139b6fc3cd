#include "runtime/window/popup_menu_text.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(PopupMenuTextTest, MarksSeparatorsSubmenusAndNumbersTheChoices) {
  auto entries = ParsePopupMenu("~&Insert|+Checked|-Unchecked|-|Zoom{50%|100%}|Last");
  ASSERT_EQ(entries.size(), 8u);
  EXPECT_TRUE(entries[0].disabled);
  EXPECT_EQ(entries[0].text, "&Insert");
  EXPECT_EQ(entries[0].number, 1);
  EXPECT_TRUE(entries[1].checkable && entries[1].checked);
  EXPECT_TRUE(entries[2].checkable && !entries[2].checked);
  EXPECT_EQ(entries[2].text, "Unchecked");
  EXPECT_TRUE(entries[3].separator);
  EXPECT_EQ(entries[3].number, 0);
  EXPECT_TRUE(entries[4].submenu);
  EXPECT_EQ(entries[4].number, 0);
  EXPECT_EQ(entries[5].depth, 2);
  EXPECT_EQ(entries[5].number, 4);
  EXPECT_EQ(entries[6].number, 5);
  EXPECT_EQ(entries[7].depth, 1);
  EXPECT_EQ(entries[7].number, 6);
}

TEST(PopupMenuTextTest, IconsInBrackets) {
  auto entries = ParsePopupMenu("[31848(~zoom.ico)]Zoom|[]Plain");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].icon, "zoom.ico");
  EXPECT_EQ(entries[0].text, "Zoom");
  EXPECT_EQ(entries[1].icon, "");
  EXPECT_EQ(entries[1].text, "Plain");
}

TEST(PopupMenuTextTest, UnbalancedBracesDoNotBreakIt) {
  EXPECT_TRUE(ParsePopupMenu("").empty());
  EXPECT_EQ(ParsePopupMenu("}}A|{|B{").size(), 2u);
  EXPECT_EQ(ParsePopupMenu("[31848(~x").front().text, "[31848(~x");
}

}  // namespace
}  // namespace ledora::runtime
