#include "framework/field_pairs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace ledora::framework {
namespace {

using runtime::FieldRef;

// A record buffer and a list queue row, as a browse pairs them.
struct Record {
  char NAME[10];
  int32_t NUMBER;
  unsigned char PRICE[5];  // DECIMAL(5,2)
};

struct Row {
  std::string name;
  int16_t number = 0;
  double price = 0;
};

class FieldPairsTest : public ::testing::Test {
 protected:
  FieldPairsTest() {
    std::memcpy(record_.NAME, "Smith     ", 10);
    record_.NUMBER = 42;
    runtime::PackDecimal(runtime::Decimal::FromUnits(1250, 2), record_.PRICE, 5, 2);
  }

  template <typename Pairs>
  void PairRecordWithRow(Pairs& pairs) {
    pairs.AddPair(FieldRef::Of(record_.NAME), FieldRef::Of(row_.name));
    pairs.AddPair(FieldRef::Of(record_.NUMBER), FieldRef::Of(row_.number));
    pairs.AddPair(FieldRef::Packed(record_.PRICE, 5, 2), FieldRef::Of(row_.price));
  }

  Record record_{};
  Row row_;
};

TEST_F(FieldPairsTest, EmptyListComparesEqual) {
  FieldPairs pairs;
  EXPECT_TRUE(pairs.Equal());
  BufferedFieldPairs buffered;
  EXPECT_TRUE(buffered.Equal());
  EXPECT_TRUE(buffered.EqualLeftBuffer());
  EXPECT_TRUE(buffered.EqualRightBuffer());
}

TEST_F(FieldPairsTest, CopiesAcrossTypesAndComparesPairByPair) {
  FieldPairs pairs;
  PairRecordWithRow(pairs);
  EXPECT_FALSE(pairs.Equal());
  pairs.AssignLeftToRight();
  EXPECT_EQ(row_.name, "Smith");
  EXPECT_EQ(row_.number, 42);
  EXPECT_DOUBLE_EQ(row_.price, 12.5);
  EXPECT_TRUE(pairs.Equal());

  row_.price = 13;
  EXPECT_FALSE(pairs.Equal());
  row_.name = "Jones";
  pairs.AssignRightToLeft();
  EXPECT_EQ(std::string(record_.NAME, 10), "Jones     ");
  EXPECT_EQ(runtime::UnpackDecimal(record_.PRICE, 5, 2), runtime::Decimal(13));
  EXPECT_TRUE(pairs.Equal());
}

TEST_F(FieldPairsTest, ClearingOneSideLeavesTheOther) {
  FieldPairs pairs;
  PairRecordWithRow(pairs);
  pairs.AssignLeftToRight();
  pairs.ClearLeft();
  EXPECT_EQ(std::string(record_.NAME, 10), std::string(10, ' '));
  EXPECT_EQ(record_.NUMBER, 0);
  EXPECT_TRUE(runtime::UnpackDecimal(record_.PRICE, 5, 2).IsZero());
  EXPECT_EQ(row_.name, "Smith");
  pairs.ClearRight();
  EXPECT_TRUE(pairs.Equal());
}

TEST_F(FieldPairsTest, ShutdownEmptiesTheList) {
  BufferedFieldPairs pairs;
  PairRecordWithRow(pairs);
  EXPECT_EQ(pairs.REALLIST.size(), 3u);
  EXPECT_EQ(&pairs.REALLIST, &pairs.LIST);
  pairs.Shutdown();
  EXPECT_TRUE(pairs.LIST.empty());
  pairs.ClearLeft();  // walks nothing
  EXPECT_EQ(record_.NUMBER, 42);
}

TEST_F(FieldPairsTest, BufferStartsAsTheLeftValueAndRestoresIt) {
  BufferedFieldPairs pairs;
  PairRecordWithRow(pairs);
  EXPECT_TRUE(pairs.EqualLeftBuffer());
  record_.NUMBER = 7;
  std::memcpy(record_.NAME, "Other     ", 10);
  EXPECT_FALSE(pairs.EqualLeftBuffer());
  pairs.AssignBufferToLeft();
  EXPECT_EQ(record_.NUMBER, 42);
  EXPECT_EQ(std::string(record_.NAME, 10), "Smith     ");
  EXPECT_TRUE(pairs.EqualLeftBuffer());
}

TEST_F(FieldPairsTest, BufferServesTheRightSideToo) {
  BufferedFieldPairs pairs;
  PairRecordWithRow(pairs);
  EXPECT_FALSE(pairs.EqualRightBuffer());
  pairs.AssignBufferToRight();
  EXPECT_TRUE(pairs.EqualRightBuffer());
  EXPECT_EQ(row_.name, "Smith");
  row_.number = 5;
  pairs.AssignRightToBuffer();
  EXPECT_FALSE(pairs.EqualLeftBuffer());
  pairs.AssignBufferToLeft();
  EXPECT_EQ(record_.NUMBER, 5);
  pairs.AssignLeftToBuffer();
  EXPECT_TRUE(pairs.EqualLeftBuffer());
}

TEST_F(FieldPairsTest, BuffersStayValidWhileTheListGrows) {
  BufferedFieldPairs pairs;
  std::string texts[64];
  int32_t numbers[64];
  for (int i = 0; i < 64; ++i) {
    texts[i] = "text " + std::to_string(i);
    numbers[i] = i;
    pairs.AddPair(FieldRef::Of(texts[i]), FieldRef::Of(numbers[i]));
  }
  for (int i = 0; i < 64; ++i) texts[i].clear();
  pairs.AssignBufferToLeft();
  EXPECT_EQ(texts[0], "text 0");
  EXPECT_EQ(texts[63], "text 63");
}

}  // namespace
}  // namespace ledora::framework
