// Reading in key order through the kept-open cursor: whatever this station
// writes between reads is read as written, other stations can write once the
// reads end, and a transaction's end leaves nothing of it behind.
#include <gtest/gtest.h>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ChildProcess;
using testing::ItemFile;
using testing::TempFolder;
using Numbers = std::vector<int32_t>;

class KeptCursorTest : public ::testing::Test {
 protected:
  KeptCursorTest() : items(driver, folder.File("ITEMS")), other(driver, folder.File("ITEMS")) {}
  void SetUp() override {
    ASSERT_EQ(items->Create(), 0);
    ASSERT_EQ(items->Open(), 0);
    ASSERT_EQ(other->Open(), 0);
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(items.Add(i * 10, "n" + std::to_string(i * 10)), 0);
    ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  }
  // Reads n records on and answers their numbers.
  Numbers Read(int n, bool forward = true) {
    Numbers numbers;
    for (int i = 0; i < n && (forward ? items->Next() : items->Previous()) == 0; ++i) {
      numbers.push_back(items.Number());
    }
    return numbers;
  }
  int32_t Rewrite(int32_t number, const std::string& name) {
    other.r.number = number;
    if (int32_t code = other->Fetch(testing::NumberKey); code != 0) return code;
    memcpy(other.r.name, name.data(), name.size());
    return other->Put();
  }

  TempFolder folder;
  SqliteDriver driver;
  ItemFile items;
  ItemFile other;  // another data file of the table in this station
};

TEST_F(KeptCursorTest, WritesOfThisStationBetweenReadsAreReadAsWritten) {
  ASSERT_EQ(Read(2), (Numbers{10, 20}));
  ASSERT_EQ(other.Add(25, "n25"), 0);
  ASSERT_EQ(Rewrite(30, "new"), 0);
  other.r.number = 40;
  ASSERT_EQ(other->Fetch(testing::NumberKey), 0);
  ASSERT_EQ(other->Delete(), 0);
  ASSERT_EQ(Read(2), (Numbers{25, 30}));
  EXPECT_EQ(items.Name(), "new");
  EXPECT_EQ(items.ReadAll(), (Numbers{50}));
  EXPECT_EQ(items->Next(), ErrorRecordNotAvailable);
}

TEST_F(KeptCursorTest, TurningRoundGoesOnFromTheRecordReadLast) {
  ASSERT_EQ(Read(3), (Numbers{10, 20, 30}));
  EXPECT_EQ(Read(2, false), (Numbers{20, 10}));
  EXPECT_EQ(Read(1, false), (Numbers{}));
  EXPECT_EQ(Read(5), (Numbers{10, 20, 30, 40, 50}));
  EXPECT_EQ(Read(1, false), (Numbers{40}));
}

TEST_F(KeptCursorTest, ATransactionsEndLeavesNoRecordOfItBehind) {
  ASSERT_EQ(driver.Logout(1), 0);
  ASSERT_EQ(items.Add(15, "n15"), 0);
  ASSERT_EQ(items->SetOrder(testing::NumberKey), 0);
  ASSERT_EQ(Read(2), (Numbers{10, 15}));
  ASSERT_EQ(other.Add(25, "n25"), 0);
  ASSERT_EQ(Read(2), (Numbers{20, 25}));
  ASSERT_EQ(driver.Rollback(), 0);
  EXPECT_EQ(Read(1), (Numbers{30}));
  EXPECT_EQ(Read(2, false), (Numbers{20, 10}));
  ASSERT_EQ(driver.Logout(1), 0);
  ASSERT_EQ(Rewrite(20, "kept"), 0);
  ASSERT_EQ(driver.Commit(), 0);
  ASSERT_EQ(Read(1), (Numbers{20}));
  EXPECT_EQ(items.Name(), "kept");
}

TEST_F(KeptCursorTest, AHeldReadTakesTheRecordItReturnsAndReadingGoesOn) {
  ASSERT_EQ(Read(1), (Numbers{10}));
  ASSERT_EQ(items->Hold(0), 0);
  ASSERT_EQ(Read(1), (Numbers{20}));
  EXPECT_TRUE(items->IsHeld());
  ASSERT_EQ(other->Hold(0), 0);
  EXPECT_EQ(other->FetchAt(items->Position()), ErrorRecordHeld);
  EXPECT_EQ(Read(2), (Numbers{30, 40}));
}

TEST_F(KeptCursorTest, FilesOpenedAndClosedMeanwhileLeaveTheReadingAlone) {
  ASSERT_EQ(Read(2), (Numbers{10, 20}));
  ItemFile lines(driver, folder.File("LINES"));
  ASSERT_EQ(lines->Create(), 0);
  ASSERT_EQ(lines->Open(), 0);
  ASSERT_EQ(lines.Add(7, "line"), 0);
  ASSERT_EQ(lines->SetOrder(testing::NumberKey), 0);
  ASSERT_EQ(lines->Next(), 0);
  ASSERT_EQ(Read(1), (Numbers{30}));
  ASSERT_EQ(lines->Close(), 0);
  EXPECT_EQ(items.ReadAll(), (Numbers{40, 50}));
}

TEST_F(KeptCursorTest, AnotherDriverOfThisProcessWritesWithoutWaiting) {
  SqliteDriver there;
  ItemFile theirs(there, folder.File("ITEMS"));
  ASSERT_EQ(theirs->Open(), 0);
  ASSERT_EQ(theirs->Send("Recover=0"), 0);
  ASSERT_EQ(Read(2), (Numbers{10, 20}));
  // A read left open here would refuse it at once (Recover=0).
  ASSERT_EQ(theirs.Add(35, "n35"), 0);
  EXPECT_EQ(Read(3), (Numbers{30, 35, 40}));
}

TEST_F(KeptCursorTest, AnotherProcessWritesOnceTheReadsEnd) {
  ASSERT_EQ(Read(2), (Numbers{10, 20}));
  driver.EndReads();
  std::string name = folder.File("ITEMS");
  ChildProcess child([&](const std::function<void()>&) {
    SqliteDriver station;
    ItemFile theirs(station, name);
    if (theirs->Open() != 0 || theirs->Send("Recover=0") != 0) return 1;
    theirs.r.number = 30;
    if (theirs->Fetch(testing::NumberKey) != 0) return 2;
    theirs.r.stock = 7;
    if (theirs->Put() != 0) return 3;
    return theirs.Add(45, "n45") == 0 ? 0 : 4;
  });
  ASSERT_TRUE(child.started());
  ASSERT_EQ(child.Wait(), 0);
  ASSERT_EQ(Read(1), (Numbers{30}));
  EXPECT_EQ(items.Stock(), 7);
  EXPECT_EQ(items.ReadAll(), (Numbers{40, 45, 50}));
}

}  // namespace
}  // namespace ledora::runtime
