// Two stations at one file: two drivers in this process, or another
// process; on each engine.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/system/runtime_error.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/runtime/storage/engines.h"
#include "tests/runtime/storage/item_file.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ChildProcess;
using testing::Engine;
using testing::ItemFile;
using testing::TempFolder;

// The drivers of one data set: a folder, or a schema of the test server.
class Stations {
 public:
  explicit Stations(Engine engine) : engine_(engine), schema_(testing::FreshSchema()) {}
  std::unique_ptr<StorageDriver> Make() { return testing::MakeDriver(engine_, schema_); }
  Engine engine() const { return engine_; }

 private:
  Engine engine_;
  std::string schema_;
};

class StationsTest : public ::testing::TestWithParam<Engine> {
 protected:
  StationsTest()
      : stations(GetParam()),
        hereOwned(stations.Make()),
        thereOwned(stations.Make()),
        here(*hereOwned),
        there(*thereOwned),
        mine(here, folder.File("ITEMS")),
        theirs(there, folder.File("ITEMS")) {}
  void SetUp() override {
    ASSERT_EQ(mine->Create(), 0);
    ASSERT_EQ(mine->Open(), 0);
    ASSERT_EQ(theirs->Open(), 0);
    ASSERT_EQ(mine.Add(1, "one"), 0);
    ASSERT_EQ(mine.Add(2, "two"), 0);
    ASSERT_EQ(mine->Send("Recover=0"), 0);
    ASSERT_EQ(theirs->Send("Recover=0"), 0);
  }
  using Body = std::function<int(StorageDriver&, ItemFile&, const std::function<void()>& ready)>;
  // Another station's process on the file: body's result is its exit code.
  std::function<int(const std::function<void()>&)> Elsewhere(Body body) {
    return [this, body](const std::function<void()>& ready) {
      std::unique_ptr<StorageDriver> driver = stations.Make();
      ItemFile items(*driver, folder.File("ITEMS"));
      return items->Open() == 0 ? body(*driver, items, ready) : 100;
    };
  }

  TempFolder folder;
  Stations stations;
  std::unique_ptr<StorageDriver> hereOwned, thereOwned;
  StorageDriver& here;
  StorageDriver& there;
  ItemFile mine;
  ItemFile theirs;
};

INSTANTIATE_TEST_SUITE_P(Engines, StationsTest,
                         ::testing::Values(testing::EngineSqlite, testing::EnginePostgres),
                         testing::EngineName);

TEST_P(StationsTest, WritingARecordChangedByAnotherProcessIsRefusedUntilReadAgain) {
  ASSERT_EQ(mine->FetchAt("1"), 0);
  ChildProcess other(Elsewhere([](StorageDriver&, ItemFile& items, const std::function<void()>&) {
    if (items->FetchAt("1") != 0) return 1;
    items.r.stock = 5;
    return items->Put();
  }));
  ASSERT_EQ(other.Wait(), 0);
  mine.r.stock = 7;
  EXPECT_EQ(mine->Put(), ErrorRecordChanged);
  EXPECT_EQ(CurrentError().text, "Record Changed By Another Station");
  ASSERT_EQ(mine->FetchAt(mine->Position()), 0);
  EXPECT_EQ(mine.Stock(), 5);  // the other station's version
  mine.r.stock = 7;
  EXPECT_EQ(mine->Put(), 0);
  EXPECT_EQ(mine->Put(), 0);  // its own writes do not count as changes
}

TEST_P(StationsTest, DeletingOrWritingARecordDeletedElsewhereIsAChange) {
  ASSERT_EQ(mine->FetchAt("2"), 0);
  ASSERT_EQ(theirs->FetchAt("2"), 0);
  ASSERT_EQ(theirs->Delete(), 0);
  EXPECT_EQ(mine->Put(), ErrorRecordChanged);
  EXPECT_EQ(mine->Delete(), ErrorRecordChanged);
  EXPECT_EQ(mine->Records(), 1);
}

TEST_P(StationsTest, NumberingKeepsOtherStationsOutUntilItEnds) {
  ASSERT_EQ(mine->BeginNumbering(), 0);
  ASSERT_EQ(mine.Add(3, "three"), 0);
  EXPECT_EQ(theirs->BeginNumbering(), ErrorFileAlreadyLocked);
  ASSERT_EQ(mine->EndNumbering(true), 0);
  ASSERT_EQ(theirs->BeginNumbering(), 0);
  EXPECT_EQ(theirs->Records(), 3);  // what the other numbering added
  ASSERT_EQ(theirs.Add(4, "four"), 0);
  ASSERT_EQ(theirs->EndNumbering(false), 0);
  EXPECT_EQ(mine->Records(), 3);
}

// A reservation lives as long as its station and its first write.
TEST_P(StationsTest, AReservationIsAbandonedOnlyWhenItsStationDies) {
  ChildProcess other(
      Elsewhere([](StorageDriver&, ItemFile& items, const std::function<void()>& ready) {
        items.Fill(3, "three");
        if (items->AddReserved() != 0) return 1;
        ready();
        pause();
        return 0;
      }));
  ASSERT_TRUE(other.WaitReady());
  std::vector<std::string> abandoned;
  ASSERT_EQ(mine->FindAbandoned(&abandoned), 0);
  EXPECT_TRUE(abandoned.empty());
  ASSERT_EQ(mine->FetchAt("3"), 0);
  EXPECT_FALSE(mine->Abandoned());
  other.Kill();
  // The server lets a dead station's locks go once it has seen it die.
  for (int i = 0; i < 100 && mine->FetchAt("3") == 0 && !mine->Abandoned(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_TRUE(mine->Abandoned());
  ASSERT_EQ(mine->FindAbandoned(&abandoned), 0);
  EXPECT_EQ(abandoned, std::vector<std::string>{"3"});

  mine.Fill(4, "four");
  ASSERT_EQ(mine->AddReserved(), 0);
  EXPECT_FALSE(mine->Abandoned());  // this station's own
  ASSERT_EQ(theirs->FetchAt("4"), 0);
  EXPECT_FALSE(theirs->Abandoned());
  ASSERT_EQ(mine->Put(), 0);
  mine->Unreserve();
  ASSERT_EQ(theirs->FetchAt("4"), 0);
  EXPECT_FALSE(theirs->Abandoned());  // written, so no reservation any more
}

TEST_P(StationsTest, AHoldIsFreedByReleaseOrBySuccessfulWrite) {
  ASSERT_EQ(mine->Hold(0), 0);
  ASSERT_EQ(mine->FetchAt("1"), 0);
  EXPECT_TRUE(mine->IsHeld());
  ASSERT_EQ(theirs->Hold(0), 0);
  EXPECT_EQ(theirs->FetchAt("1"), ErrorRecordHeld);
  mine->Release();
  ASSERT_EQ(theirs->Hold(0), 0);
  EXPECT_EQ(theirs->FetchAt("1"), 0);
  EXPECT_TRUE(theirs->IsHeld());
  theirs.r.stock = 3;
  EXPECT_EQ(theirs->Put(), 0);
  EXPECT_FALSE(theirs->IsHeld());  // a successful write lets it go
  ASSERT_EQ(mine->Hold(0), 0);
  EXPECT_EQ(mine->FetchAt("1"), 0);
}

TEST_P(StationsTest, ReadingPastAHeldRecordMovesOn) {
  ASSERT_EQ(mine.Add(3, "three"), 0);
  ASSERT_EQ(mine->Hold(0), 0);
  ASSERT_EQ(mine->FetchAt("2"), 0);
  ASSERT_EQ(theirs->SetOrder(testing::NumberKey), 0);
  ASSERT_EQ(theirs->Hold(0), 0);
  ASSERT_EQ(theirs->Next(), 0);
  EXPECT_EQ(theirs.Number(), 1);
  ASSERT_EQ(theirs->Hold(0), 0);
  EXPECT_EQ(theirs->Next(), ErrorRecordHeld);
  EXPECT_EQ(theirs.Number(), 1);  // the buffer keeps the last record read
  ASSERT_EQ(theirs->Hold(0), 0);
  ASSERT_EQ(theirs->Next(), 0);
  EXPECT_EQ(theirs.Number(), 3);
}

TEST_P(StationsTest, DataFilesOfOneTableInOneStationRespectEachOthersHolds) {
  ItemFile perThread(here, folder.File("ITEMS"));
  ASSERT_EQ(perThread->Open(), 0);
  ASSERT_EQ(mine->Hold(0), 0);
  ASSERT_EQ(mine->FetchAt("1"), 0);
  ASSERT_EQ(perThread->Hold(0), 0);
  EXPECT_EQ(perThread->FetchAt("1"), ErrorRecordHeld);
  EXPECT_EQ(perThread->Put(), ErrorRecordNotAvailable);
  perThread->Release();  // holds nothing: must not free the other's hold
  ASSERT_EQ(theirs->Hold(0), 0);
  EXPECT_EQ(theirs->FetchAt("1"), ErrorRecordHeld);
  ASSERT_EQ(mine->Close(), 0);
  ASSERT_EQ(perThread->Hold(0), 0);
  EXPECT_EQ(perThread->FetchAt("1"), 0);
}

TEST_P(StationsTest, ARecordHeldByAnotherProcessIsRefusedUntilThatProcessIsKilled) {
  ChildProcess holder(
      Elsewhere([](StorageDriver&, ItemFile& items, const std::function<void()>& ready) {
        if (items->Hold(0) != 0 || items->FetchAt("2") != 0) return 1;
        ready();
        pause();
        return 0;
      }));
  ASSERT_TRUE(holder.WaitReady());
  ASSERT_EQ(mine->FetchAt("2"), 0);  // plain reads pass
  EXPECT_EQ(mine->Put(), ErrorRecordHeld);
  EXPECT_EQ(mine->Delete(), ErrorRecordHeld);
  ASSERT_EQ(mine->Hold(0), 0);
  EXPECT_EQ(mine->FetchAt("2"), ErrorRecordHeld);
  EXPECT_EQ(CurrentError().text, "Record Is Already Held");
  holder.Kill();
  // A server notices a dead client's connection a moment later.
  ASSERT_EQ(mine->Hold(5), 0);
  EXPECT_EQ(mine->FetchAt("2"), 0);
}

TEST_P(StationsTest, SharingModesAreHonouredBetweenStations) {
  ASSERT_EQ(theirs->Close(), 0);
  ASSERT_EQ(mine->Close(), 0);
  ASSERT_EQ(mine->Open(AccessReadWrite | DenyWrite), 0);
  EXPECT_EQ(theirs->Open(AccessReadWrite | DenyNone), ErrorAccessDenied);
  EXPECT_EQ(theirs->Open(AccessReadOnly | DenyNone), 0);
  ASSERT_EQ(theirs->Close(), 0);
  ASSERT_EQ(mine->Close(), 0);

  ASSERT_EQ(mine->Open(AccessReadOnly | DenyWrite), 0);
  EXPECT_EQ(theirs->Open(AccessReadOnly | DenyWrite), 0);  // neither writes
  ASSERT_EQ(theirs->Close(), 0);
  ASSERT_EQ(mine->Close(), 0);

  ASSERT_EQ(mine->Open(AccessReadWrite | DenyAll), 0);
  EXPECT_EQ(theirs->Open(AccessReadOnly | DenyNone), ErrorAccessDenied);
  ASSERT_EQ(mine->Close(), 0);
  EXPECT_EQ(theirs->Open(AccessReadOnly | DenyNone), 0);
  // A station already writing keeps a deny-write open out.
  ASSERT_EQ(theirs->Close(), 0);
  ASSERT_EQ(theirs->Open(), 0);
  EXPECT_EQ(mine->Open(AccessReadOnly | DenyWrite), ErrorAccessDenied);
}

// The server locks the rows a transaction writes, not its files: only a
// write that meets one of them waits, and then is refused as locked.
TEST_P(StationsTest, ARecordWrittenInAnotherStationsTransactionIsWaitedForThenRefused) {
  if (GetParam() != testing::EnginePostgres) GTEST_SKIP() << "SQLite locks the whole file";
  ASSERT_EQ(there.Mark(theirs.file()), 0);
  ASSERT_EQ(there.Logout(1), 0);
  ASSERT_EQ(theirs.Add(10, "ten"), 0);
  EXPECT_EQ(mine.Add(11, "eleven"), 0);
  EXPECT_EQ(mine.Add(10, "ten again"), ErrorFileAlreadyLocked);
  EXPECT_EQ(CurrentError().text, "File Is Already Locked");
  EXPECT_EQ(mine->Records(), 3);  // theirs is not yet visible
  ASSERT_EQ(there.Commit(), 0);
  EXPECT_EQ(mine->Records(), 4);
  EXPECT_EQ(mine.Add(10, "ten again"), ErrorDuplicateKey);
}

TEST_P(StationsTest, ALockedFileIsWaitedForThenRefusedClearly) {
  if (GetParam() != testing::EngineSqlite) GTEST_SKIP() << "the server locks rows, not files";
  ASSERT_EQ(there.Mark(theirs.file()), 0);
  ASSERT_EQ(there.Logout(1), 0);
  EXPECT_EQ(mine.Add(11, "eleven"), ErrorFileAlreadyLocked);  // the marked file is theirs already
  ASSERT_EQ(theirs.Add(10, "ten"), 0);
  EXPECT_EQ(mine.Add(11, "eleven"), ErrorFileAlreadyLocked);
  EXPECT_EQ(CurrentError().text, "File Is Already Locked");
  EXPECT_EQ(mine->Records(), 2);  // readers still see the committed state
  ASSERT_EQ(there.Commit(), 0);
  EXPECT_EQ(mine.Add(11, "eleven"), 0);
}

TEST_P(StationsTest, ALockReleasedWithinTheRecoverWaitIsWaitedOut) {
  ChildProcess child(
      Elsewhere([](StorageDriver& driver, ItemFile& items, const std::function<void()>& ready) {
        if (driver.Mark(items.file()) != 0 || driver.Logout(1) != 0) return 1;
        if (items.Add(20, "twenty") != 0) return 2;
        ready();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return driver.Commit();
      }));
  ASSERT_TRUE(child.WaitReady());
  ASSERT_EQ(mine->Send("Recover=30"), 0);
  EXPECT_EQ(mine.Add(21, "twenty-one"), 0);
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(mine->Records(), 4);
}

class TransactionTest : public ::testing::TestWithParam<Engine> {
 protected:
  TransactionTest()
      : stations(GetParam()),
        owned(stations.Make()),
        driver(*owned),
        types(driver, folder.File("RptDes1.KDS") + "\\!LTypes"),
        designs(driver, folder.File("NewRpt.KDS") + "\\!Layouts") {}
  void SetUp() override {
    for (ItemFile* file : {&types, &designs}) {
      ASSERT_EQ(file->file().Create(), 0);
      ASSERT_EQ(file->file().Open(), 0);
    }
  }
  int32_t Begin() {
    if (int32_t code = driver.Mark(types.file()); code != 0) return code;
    if (int32_t code = driver.Mark(designs.file()); code != 0) return code;
    return driver.Logout(2);
  }

  TempFolder folder;
  Stations stations;
  std::unique_ptr<StorageDriver> owned;
  StorageDriver& driver;
  ItemFile types;
  ItemFile designs;
};

INSTANTIATE_TEST_SUITE_P(Engines, TransactionTest,
                         ::testing::Values(testing::EngineSqlite, testing::EnginePostgres),
                         testing::EngineName);

TEST_P(TransactionTest, RollbackUndoesEveryFileAndCommitKeepsEveryFile) {
  ASSERT_EQ(Begin(), 0);
  EXPECT_TRUE(driver.InTransaction());
  ASSERT_EQ(types.Add(1, "type"), 0);
  ASSERT_EQ(designs.Add(1, "design"), 0);
  ASSERT_EQ(driver.Rollback(), 0);
  EXPECT_EQ(types->Records(), 0);
  EXPECT_EQ(designs->Records(), 0);
  ASSERT_EQ(Begin(), 0);
  ASSERT_EQ(types.Add(1, "type"), 0);
  ASSERT_EQ(designs.Add(1, "design"), 0);
  ASSERT_EQ(driver.Commit(), 0);
  std::unique_ptr<StorageDriver> elsewhere = stations.Make();
  ItemFile check(*elsewhere, folder.File("NEWRPT.KDS") + "\\!layouts");
  ASSERT_EQ(check->Open(), 0);
  EXPECT_EQ(check->Records(), 1);
}

TEST_P(TransactionTest, MisusedTransactionsAnswerTheirCodes) {
  EXPECT_EQ(driver.Commit(), ErrorLogoutNotActive);
  EXPECT_EQ(driver.Rollback(), ErrorLogoutNotActive);
  ASSERT_EQ(Begin(), 0);
  EXPECT_EQ(driver.Logout(1), ErrorLogoutAlreadyActive);
  ASSERT_EQ(driver.Rollback(), 0);
  std::unique_ptr<StorageDriver> other = stations.Make();
  ItemFile foreign(*other, folder.File("RptDes1.KDS") + "\\!LTypes");
  ASSERT_EQ(foreign->Open(), 0);
  EXPECT_EQ(driver.Mark(foreign.file()), ErrorUnsupportedFunction);
  ASSERT_EQ(designs->Close(), 0);
  EXPECT_EQ(driver.Mark(designs.file()), ErrorFileNotOpen);
}

TEST_P(TransactionTest, FilesOpenedWhileActiveAreReleasedAfterwards) {
  ASSERT_EQ(Begin(), 0);
  ASSERT_EQ(types.Add(1, "type"), 0);
  ASSERT_EQ(designs->Close(), 0);  // closed inside: detached only after the end
  ASSERT_EQ(driver.Commit(), 0);
  ASSERT_EQ(designs->Open(), 0);
  EXPECT_EQ(designs->Records(), 0);
}

// A station that dies at any moment of a two-file transaction leaves both
// files as before it or both as after it.
class KilledStationTest : public ::testing::TestWithParam<Engine> {};

INSTANTIATE_TEST_SUITE_P(Engines, KilledStationTest,
                         ::testing::Values(testing::EngineSqlite, testing::EnginePostgres),
                         testing::EngineName);

TEST_P(KilledStationTest, TwoFileTransactionsAreAllOrNothing) {
  TempFolder folder;
  Stations stations(GetParam());
  std::string typesName = folder.File("RptDes1.KDS") + "\\!LTypes";
  std::string designsName = folder.File("NewRpt.KDS") + "\\!Layouts";
  {
    std::unique_ptr<StorageDriver> owned = stations.Make();
    StorageDriver& driver = *owned;
    ItemFile types(driver, typesName), designs(driver, designsName);
    ASSERT_EQ(types->Create(), 0);
    ASSERT_EQ(designs->Create(), 0);
  }
  for (int round = 0; round < 3; ++round) {
    ChildProcess child([&](const std::function<void()>& ready) {
      std::unique_ptr<StorageDriver> owned = stations.Make();
      StorageDriver& driver = *owned;
      ItemFile types(driver, typesName), designs(driver, designsName);
      if (types->Open() != 0 || designs->Open() != 0) return 1;
      for (int n = 1;; ++n) {
        if (driver.Mark(types.file()) != 0 || driver.Mark(designs.file()) != 0) return 2;
        if (driver.Logout(5) != 0) return 3;
        for (int i = 0; i < 20; ++i) {
          int32_t number = round * 1000000 + n * 100 + i;
          if (types.Add(number, std::to_string(number)) != 0) return 4;
          if (designs.Add(number, std::to_string(number)) != 0) return 5;
        }
        if (driver.Commit() != 0) return 6;
        if (n == 2) ready();
      }
    });
    ASSERT_TRUE(child.WaitReady());
    std::this_thread::sleep_for(std::chrono::milliseconds(37 * (round + 1)));
    child.Kill();
    std::unique_ptr<StorageDriver> owned = stations.Make();
    StorageDriver& driver = *owned;
    ItemFile types(driver, typesName), designs(driver, designsName);
    ASSERT_EQ(types->Open(), 0);
    ASSERT_EQ(designs->Open(), 0);
    EXPECT_EQ(types->Records(), designs->Records());
    EXPECT_EQ(types->Records() % 20, 0);
  }
}

}  // namespace
}  // namespace ledora::runtime
