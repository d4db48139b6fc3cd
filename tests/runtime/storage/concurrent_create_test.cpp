// Stations that find a file or table missing and make it at the same moment:
// each must end up using the one table, and no station's records may be lost
// to another's making.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "runtime/storage/folder_lock.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ChildProcess;
using testing::Gate;
using testing::ItemFile;
using testing::TempFolder;

constexpr int kRounds = 20;
constexpr int kEach = 6;

// Child exit codes, one per step that can fail.
enum ChildResult { ChildDone, ChildOpenFailed, ChildMakeFailed, ChildAddFailed, ChildCloseFailed };

// As the file manager opens: a missing table is made, then opened again.
int32_t OpenMakingWhenMissing(ItemFile& items) {
  int32_t code = items->Open();
  if (code != ErrorFileNotFound) return code;
  if (int32_t made = items->CreateIfMissing(); made != ErrorNone) return made;
  return items->Open();
}

// One station: opens (making the table when missing) and adds its records
// one by one, each in a transaction of its own, as forms do.
int AddRecords(const std::string& name, int32_t first) {
  SqliteDriver driver;
  ItemFile items(driver, name);
  if (items->Send("Recover=10") != ErrorNone) return ChildOpenFailed;
  int32_t code = OpenMakingWhenMissing(items);
  if (code == ErrorFileNotFound) return ChildMakeFailed;
  if (code != ErrorNone) return ChildOpenFailed;
  for (int32_t number = first; number < first + kEach; ++number) {
    if (items.Add(number, "n" + std::to_string(number)) != ErrorNone) return ChildAddFailed;
  }
  return items->Close() == ErrorNone ? ChildDone : ChildCloseFailed;
}

std::vector<int32_t> Numbers(const std::string& name) {
  SqliteDriver driver;
  ItemFile items(driver, name);
  if (items->Open() != ErrorNone) return {};
  std::vector<int32_t> numbers;
  if (items->SetOrder(testing::NumberKey) == ErrorNone) numbers = items.ReadAll();
  items->Close();
  return numbers;
}

std::vector<int32_t> Expected(std::vector<int32_t> firsts) {
  std::vector<int32_t> numbers;
  for (int32_t first : firsts) {
    for (int32_t n = first; n < first + kEach; ++n) numbers.push_back(n);
  }
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

// Runs two stations behind one gate, each adding records to its own name
// from its own first number; answers both exit codes.
std::pair<int, int> RaceTwoStations(const std::string& mineName, const std::string& theirName) {
  Gate gate;
  if (!gate.ok()) return {-1, -1};
  auto station = [&](const std::string& name, int32_t first) {
    return [&gate, name, first](const std::function<void()>& ready) {
      ready();
      gate.Pass();
      return AddRecords(name, first);
    };
  };
  ChildProcess mine(station(mineName, 1));
  ChildProcess theirs(station(theirName, 101));
  if (!mine.started() || !theirs.started()) return {-1, -1};
  if (!mine.WaitReady() || !theirs.WaitReady()) return {-1, -1};
  gate.Open(2);
  int mineResult = mine.Wait();
  return {mineResult, theirs.Wait()};
}

TEST(ConcurrentCreateTest, TwoProcessesMakingOneMissingFileBothSucceedAndLoseNoRecords) {
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempFolder folder;
    std::string name = folder.File("ITEMS");
    auto [mine, theirs] = RaceTwoStations(name, name);
    EXPECT_EQ(mine, ChildDone);
    EXPECT_EQ(theirs, ChildDone);
    ASSERT_EQ(Numbers(name), Expected({1, 101}));
  }
}

TEST(ConcurrentCreateTest, TwoProcessesMakingTwoTablesOfOneNewFileKeepBoth) {
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempFolder folder;
    std::string types = folder.File("RptDes1.KDS") + "\\!Types";
    std::string bands = folder.File("RptDes1.KDS") + "\\!Bands";
    auto [mine, theirs] = RaceTwoStations(types, bands);
    EXPECT_EQ(mine, ChildDone);
    EXPECT_EQ(theirs, ChildDone);
    ASSERT_EQ(Numbers(types), Expected({1}));
    ASSERT_EQ(Numbers(bands), Expected({101}));
  }
}

// A station killed while making a file may leave it empty; the next one
// takes that for a file still to be made, not for a damaged one.
TEST(ConcurrentCreateTest, AnEmptyFileLeftByAnotherStationIsMadeAndKept) {
  TempFolder folder;
  std::string name = folder.File("ITEMS");
  std::FILE* empty = std::fopen((name + ".KDS").c_str(), "w");
  ASSERT_NE(empty, nullptr);
  std::fclose(empty);
  SqliteDriver driver;
  ItemFile items(driver, name);
  EXPECT_EQ(items->Open(), ErrorFileNotFound);
  ASSERT_EQ(OpenMakingWhenMissing(items), ErrorNone);
  ASSERT_EQ(items.Add(1, "one"), ErrorNone);
  ASSERT_EQ(items->Close(), ErrorNone);
  ASSERT_EQ(items->CreateIfMissing(), ErrorNone);
  EXPECT_EQ(Numbers(name), std::vector<int32_t>{1});
}

// Inside a transaction the making joins it: undone by the rollback, kept by
// the commit, and the other tables' changes with it either way.
TEST(ConcurrentCreateTest, MakingATableInsideATransactionFollowsTheTransaction) {
  TempFolder folder;
  SqliteDriver driver;
  ItemFile types(driver, folder.File("RptDes1.KDS") + "\\!Types");
  ItemFile bands(driver, folder.File("RptDes1.KDS") + "\\!Bands");
  ASSERT_EQ(types->Create(), ErrorNone);
  ASSERT_EQ(types->Open(), ErrorNone);
  for (bool commit : {false, true}) {
    SCOPED_TRACE(commit ? "commit" : "rollback");
    ASSERT_EQ(driver.Mark(types.file()), ErrorNone);
    ASSERT_EQ(driver.Logout(1), ErrorNone);
    ASSERT_EQ(types.Add(commit ? 2 : 1, "type"), ErrorNone);
    ASSERT_EQ(bands->CreateIfMissing(), ErrorNone);
    ASSERT_EQ(commit ? driver.Commit() : driver.Rollback(), ErrorNone);
    EXPECT_EQ(bands->Open(), commit ? ErrorNone : ErrorFileNotFound);
    bands->Close();
    EXPECT_EQ(types->Records(), commit ? 1 : 0);
  }
}

// POSIX locks belong to the process: a station that opens and closes a file
// must not drop the locks another station of the same process holds on it,
// or a third station could write into that station's transaction.
TEST(ConcurrentCreateTest, ClosingAFileKeepsTheLocksOfAnotherStationInTheProcess) {
  TempFolder folder;
  std::string typesName = folder.File("RptDes1.KDS") + "\\!Types";
  std::string bandsName = folder.File("RptDes1.KDS") + "\\!Bands";
  // Forked before this process has the file open: SQLite's own record of
  // the locks of a process must not be copied into the other station.
  Gate gate;
  ASSERT_TRUE(gate.ok());
  ChildProcess elsewhere([&](const std::function<void()>&) {
    gate.Pass();
    SqliteDriver driver;
    ItemFile theirs(driver, typesName);
    if (theirs->Send("Recover=0") != ErrorNone || theirs->Open() != ErrorNone) return 1;
    return theirs.Add(2, "theirs") == ErrorFileAlreadyLocked ? 0 : 2;
  });
  SqliteDriver mine;
  ItemFile types(mine, typesName);
  ItemFile bands(mine, bandsName);
  ASSERT_EQ(types->Create(), ErrorNone);
  ASSERT_EQ(bands->Create(), ErrorNone);
  ASSERT_EQ(types->Open(), ErrorNone);
  ASSERT_EQ(mine.Mark(types.file()), ErrorNone);
  ASSERT_EQ(mine.Logout(1), ErrorNone);
  ASSERT_EQ(types.Add(1, "mine"), ErrorNone);
  {
    SqliteDriver neighbour;
    ItemFile theirBands(neighbour, bandsName);
    ASSERT_EQ(theirBands->Open(), ErrorNone);
    ASSERT_EQ(theirBands->Close(), ErrorNone);
  }
  gate.Open(1);
  EXPECT_EQ(elsewhere.Wait(), 0);
  ASSERT_EQ(mine.Commit(), ErrorNone);
  EXPECT_EQ(Numbers(typesName), std::vector<int32_t>{1});
}

// A station making files in a folder shuts out every other station's making
// there until it is done. The holder is the child: a lock taken before a
// fork would be shared with the child, not held against it.
TEST(ConcurrentCreateTest, AFolderLockWaitsForTheStationThatHoldsIt) {
  TempFolder folder;
  std::string done = folder.File("DONE");
  ChildProcess holder([&](const std::function<void()>& ready) {
    FolderLock lock(folder.File("RptDes1.KDS"));
    if (!lock.locked()) return 1;
    ready();
    // Gives a lock that does not hold the chance to let the parent in early.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::FILE* file = std::fopen(done.c_str(), "w");
    if (file == nullptr) return 2;
    std::fclose(file);
    return 0;
  });
  ASSERT_TRUE(holder.WaitReady());
  {
    FolderLock waiter(folder.File("NewRpt.KDS"));
    EXPECT_TRUE(waiter.locked());
    EXPECT_TRUE(std::filesystem::exists(done));
  }
  EXPECT_EQ(holder.Wait(), 0);
  EXPECT_FALSE(FolderLock(folder.File("missing/ITEMS.KDS")).locked());
}

}  // namespace
}  // namespace ledora::runtime
