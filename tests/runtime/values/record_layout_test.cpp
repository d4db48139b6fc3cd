#include "runtime/values/record_layout.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ledora::runtime {
namespace {

#pragma pack(push, 1)
struct ItemRecord {
  int32_t ITEMNR;
  char DESCRIPTION[30];
  uint8_t PRICE[5];
};
#pragma pack(pop)
static_assert(sizeof(ItemRecord) == 39);

RecordLayout ItemLayout() {
  return RecordLayout("ITE", sizeof(ItemRecord),
                      {{"ITE:ITEMNR", FieldLong, 0, 4, 0},
                       {"ITE:DESCRIPTION", FieldString, 4, 30, 0},
                       {"ITE:PRICE", FieldDecimal, 34, 5, 2}});
}

TEST(RecordLayoutTest, FindsLabelsWithOrWithoutPrefixIgnoringCase) {
  RecordLayout layout = ItemLayout();
  EXPECT_EQ(layout.Find("ITE:PRICE"), 2);
  EXPECT_EQ(layout.Find("ite:price"), 2);
  EXPECT_EQ(layout.Find("Description"), 1);
  EXPECT_EQ(layout.Find("CUS:PRICE"), -1);
  EXPECT_EQ(layout.Find("PRIC"), -1);
  EXPECT_EQ(layout.Find("PRICE "), -1);
  EXPECT_EQ(layout.Find(""), -1);
  EXPECT_EQ(layout.Find("ITE:"), -1);
}

TEST(RecordLayoutTest, BindReadsAndWritesTheRecord) {
  RecordLayout layout = ItemLayout();
  ItemRecord rec;
  std::memset(&rec, 0, sizeof rec);
  SetText(layout.Bind(&rec, "ITE:DESCRIPTION"), "Widget");
  SetNumber(layout.Bind(&rec, "PRICE"), Decimal::Parse("12.5").value());
  SetNumber(layout.Bind(&rec, 0), Decimal(77));
  EXPECT_EQ(rec.ITEMNR, 77);
  EXPECT_EQ(std::string(rec.DESCRIPTION, 7), "Widget ");
  EXPECT_EQ(UnpackDecimal(rec.PRICE, 5, 2).ToString(), "12.50");
}

TEST(RecordLayoutTest, MissingOrUnsafeFieldsBindToNothing) {
  ItemRecord rec;
  EXPECT_EQ(ItemLayout().Bind(&rec, "NOPE").address, nullptr);
  EXPECT_EQ(ItemLayout().Bind(&rec, 3).address, nullptr);
  EXPECT_EQ(ItemLayout().Bind(&rec, -1).address, nullptr);
  EXPECT_EQ(ItemLayout().Bind(nullptr, 0).address, nullptr);
  RecordLayout bad("X", 8,
                   {{"X:PAST", FieldString, 4, 10, 0},
                    {"X:SHORTLONG", FieldLong, 0, 2, 0},
                    {"X:TEXT", FieldText, 0, 8, 0}});
  char buf[8];
  EXPECT_EQ(bad.Bind(buf, 0).address, nullptr);
  EXPECT_EQ(bad.Bind(buf, 1).address, nullptr);
  EXPECT_EQ(bad.Bind(buf, 2).address, nullptr);
}

}  // namespace
}  // namespace ledora::runtime
