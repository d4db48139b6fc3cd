#include "reporting/zoom_table.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/constant_table.h"

namespace ledora::reporting {
namespace {

std::string Clipped(const char (&text)[64]) {
  std::string value(text, 64);
  return value.substr(0, value.find_last_not_of(' ') + 1);
}

TEST(ZoomTableTest, HoldsTheSevenChoicesInOrder) {
  struct Expected {
    const char* menu;
    const char* status;
    int16_t percentile;
  };
  const Expected expected[] = {
      {"Tile pages", "Zoom: Tile Pages", -2}, {"Page Width", "Zoom: Page Width", -1},
      {"50% Zoom", "Zoom: 50%", 50},          {"75% Zoom", "Zoom: 75%", 75},
      {"100% Zoom", "Zoom: 100%", 100},       {"200% Zoom", "Zoom: 200%", 200},
      {"300% Zoom", "Zoom: 300%", 300},
  };
  std::vector<ZoomEntry> entries = LoadZoomTable();
  ASSERT_EQ(entries.size(), 7u);
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(Clipped(entries[i].MENUTEXT), expected[i].menu);
    EXPECT_EQ(Clipped(entries[i].STATUSTEXT), expected[i].status);
    EXPECT_EQ(entries[i].PERCENTILE, expected[i].percentile);
    EXPECT_EQ(entries[i].MENUTEXT[63], ' ');
  }
}

TEST(ZoomTableTest, ReadingYieldsSevenRecordsThenTheEnd) {
  int16_t percentile = 0;
  std::string menu, status;
  framework::ConstantTable table;
  table.Initialize(framework::TerminateAfterCountByte);
  table.AddItem(framework::ItemPString, runtime::FieldRef::Of(menu));
  table.AddItem(framework::ItemPString, runtime::FieldRef::Of(status));
  table.AddItem(framework::ItemShort, runtime::FieldRef::Of(percentile));
  table.SetSource(kZoomTableSource);
  for (int record = 1; record <= 7; ++record) ASSERT_EQ(table.Next(), data::SeverityNone);
  EXPECT_EQ(percentile, 300);
  EXPECT_EQ(table.Next(), data::SeverityInform);
  // Every byte of the constant belongs to some entry.
  EXPECT_EQ(table.CHARPNT, 173);
}

}  // namespace
}  // namespace ledora::reporting
