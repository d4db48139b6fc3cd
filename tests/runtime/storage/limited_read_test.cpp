// Sequences that start past a record and end at key values: reading stops
// where the limit lies without SQLite handing over one row more, in both
// directions, over keys of every direction and case.
#include <gtest/gtest.h>

#include "runtime/storage/sqlite_data_file.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ItemFile;
using testing::ItemRecord;
using testing::TempFolder;
using Numbers = std::vector<int32_t>;

class LimitedReadTest : public ::testing::Test {
 protected:
  LimitedReadTest() : items(driver, folder.File("ITEMS")) {}
  void SetUp() override {
    ASSERT_EQ(items->Create(), 0);
    ASSERT_EQ(items->Open(), 0);
    ASSERT_EQ(driver.Logout(1), 0);
    // Groups A..E of 20 records each; stock falls within a group.
    for (int i = 1; i <= 100; ++i) {
      std::string group(1, static_cast<char>('A' + (i - 1) / 20));
      ASSERT_EQ(items.Add(i, "n" + std::to_string(i), group, static_cast<int16_t>(i % 20)), 0);
    }
    ASSERT_EQ(driver.Commit(), 0);
  }
  int64_t Stepped() { return static_cast<SqliteDataFile&>(items.file()).rowsStepped(); }
  ItemRecord Limit(int32_t number, const std::string& group = "", int16_t stock = 0) {
    ItemRecord saved = items.r;
    items.Fill(number, "", group, stock);
    ItemRecord limit = items.r;
    items.r = saved;
    return limit;
  }

  TempFolder folder;
  SqliteDriver driver;
  ItemFile items;
};

TEST_F(LimitedReadTest, ReadingStopsAtTheLimitOfItsDirection) {
  ItemRecord first = Limit(41), last = Limit(45);
  items.r.number = 41;
  ASSERT_EQ(items->SetOnKey(testing::NumberKey), 0);
  ASSERT_EQ(items->SetLimits({1, &first}, {1, &last}), 0);
  int64_t before = Stepped();
  EXPECT_EQ(items.ReadAll(), (Numbers{41, 42, 43, 44, 45}));
  EXPECT_EQ(Stepped() - before, 5);
  EXPECT_EQ(items->Next(), ErrorRecordNotAvailable);
  // Turned round, the first limit ends it.
  EXPECT_EQ(items.ReadAll(false), (Numbers{45, 44, 43, 42, 41}));
  // Limits go with the sequence they were set for.
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  EXPECT_EQ(items.ReadAll().size(), 100u);
}

TEST_F(LimitedReadTest, ALimitOnLeadingComponentsKeepsTheRestOfTheKey) {
  // Group C of the group key (group ascending, stock descending).
  ItemRecord group = Limit(0, "C");
  items.Fill(0, "", "C", 32767);
  ASSERT_EQ(items->SetOnKey(testing::GroupKey), 0);
  ASSERT_EQ(items->SetLimits({1, &group}, {1, &group}), 0);
  int64_t before = Stepped();
  Numbers read = items.ReadAll();
  EXPECT_EQ(read.size(), 20u);
  EXPECT_EQ(read.front(), 59);  // stock 19 comes first
  EXPECT_EQ(Stepped() - before, 20);
  // The descending component's limit ends a walk at its low end.
  ItemRecord low = Limit(0, "C", 15);
  items.Fill(0, "", "C", 32767);
  ASSERT_EQ(items->SetOnKey(testing::GroupKey), 0);
  ASSERT_EQ(items->SetLimits({}, {2, &low}), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{59, 58, 57, 56, 55}));
}

TEST_F(LimitedReadTest, ACaseInsensitiveLimitTakesEveryCase) {
  ASSERT_EQ(items.Add(101, "smith"), 0);
  ASSERT_EQ(items.Add(102, "SMITH"), 0);
  ASSERT_EQ(items.Add(103, "Smyth"), 0);
  ItemRecord name = items.r;
  items.Fill(0, "Smith");
  name = items.r;
  ASSERT_EQ(items->SetOnKey(testing::NameKey), 0);
  ASSERT_EQ(items->SetLimits({1, &name}, {1, &name}), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{101, 102}));
}

TEST_F(LimitedReadTest, StartingAfterARecordSkipsItInBothDirections) {
  ASSERT_EQ(items->SetAfterPosition(testing::NumberKey, "50"), 0);
  EXPECT_EQ(items->Next(), 0);
  EXPECT_EQ(items.Number(), 51);
  ASSERT_EQ(items->SetAfterPosition(testing::NumberKey, "50"), 0);
  EXPECT_EQ(items->Previous(), 0);
  EXPECT_EQ(items.Number(), 49);
  // A record deleted since takes its place from the values in the buffer.
  ASSERT_EQ(items->FetchAt("50"), 0);
  ASSERT_EQ(items->Delete(), 0);
  items.Fill(50, "n50");
  ASSERT_EQ(items->SetAfterPosition(testing::NumberKey, "50"), 0);
  EXPECT_EQ(items->Next(), 0);
  EXPECT_EQ(items.Number(), 51);
  // Past the last record there is nothing.
  ASSERT_EQ(items->SetAfterPosition(testing::NumberKey, "100"), 0);
  EXPECT_EQ(items->Next(), ErrorRecordNotAvailable);
  EXPECT_EQ(items->SetAfterPosition(testing::NumberKey, "x"), ErrorRecordNotFound);
}

TEST_F(LimitedReadTest, LimitsNeedAKeySequenceAndFittingComponents) {
  ItemRecord limit = Limit(5);
  ASSERT_EQ(items->SetOrder(kRecordOrder), 0);
  EXPECT_EQ(items->SetLimits({1, &limit}, {}), ErrorEntryNotFound);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  EXPECT_EQ(items->SetLimits({2, &limit}, {}), ErrorInvalidRecordDeclaration);
  EXPECT_EQ(items->SetLimits({}, {1, nullptr}), ErrorInvalidRecordDeclaration);
  ASSERT_EQ(items->SetLimits({}, {1, &limit}), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace ledora::runtime
