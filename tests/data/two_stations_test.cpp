// Two stations on the same files: each has its own driver (its own SQLite
// connection, holds and sharing), or runs in a process of its own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <numeric>
#include <string>
#include <vector>

#include "runtime/system/halt.h"
#include "runtime/system/message_service.h"
#include "tests/data/station.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/pg_server.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using runtime::ButtonOk;

class TwoStationsTest : public ::testing::Test {
 protected:
  TwoStationsTest() {
    errors.Initialize();
    mine = std::make_unique<Station>(folder.path(), &errors);
    theirs = std::make_unique<Station>(folder.path(), &errors);
  }

  // Both stations show head 1 in a form, their files open.
  void BothRead() {
    ASSERT_EQ(mine->AddHead(0, "original"), 1);
    for (Station* station : {mine.get(), theirs.get()}) {
      station->heads.Open();
      station->HEA.NUMBER = 1;
      ASSERT_EQ(station->heads.Fetch(HeadNumberKey), 0);
    }
  }

  TempFolder folder;
  data::ErrorReporter errors;
  ScriptedMessages messages;
  std::unique_ptr<Station> mine;
  std::unique_ptr<Station> theirs;
};

TEST_F(TwoStationsTest, UpdatingWhatTheOtherChangedFailsAndShowsTheirVersion) {
  BothRead();
  SetText(theirs->HEA.NAME, "theirs");
  ASSERT_EQ(theirs->heads.Update(), 0);
  SetText(mine->HEA.NAME, "mine");
  messages.Expect("Record Was Not Updated", "This record was changed by another station.",
                  ButtonOk);
  EXPECT_EQ(mine->headsRelations.Update(false), data::SeverityInform);
  EXPECT_EQ(mine->heads.LastError(), 6);
  EXPECT_EQ(Text(mine->HEA.NAME), "theirs");
  // Having seen their version, my next change goes through.
  SetText(mine->HEA.NAME, "mine after all");
  EXPECT_EQ(mine->headsRelations.Update(false), 0);
  theirs->heads.Close();
  mine->heads.Close();
}

TEST_F(TwoStationsTest, AFormWithHistoryIsToldItsChangesCanBeRecalled) {
  BothRead();
  SetText(theirs->HEA.NAME, "theirs");
  ASSERT_EQ(theirs->heads.Update(), 0);
  SetText(mine->HEA.NAME, "mine");
  messages.Expect("Record Was Not Updated",
                  "Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall "
                  "your changes.",
                  ButtonOk);
  EXPECT_EQ(mine->headsRelations.Update(true), data::SeverityInform);
  EXPECT_EQ(mine->heads.LastError(), 7);
  EXPECT_EQ(Text(mine->HEA.NAME), "theirs");
}

TEST_F(TwoStationsTest, ARecordTheOtherHoldsIsReportedHeld) {
  BothRead();
  ASSERT_EQ(theirs->headsFile->Hold(0), 0);
  ASSERT_EQ(theirs->heads.Reread("1"), 0);
  SetText(mine->HEA.NAME, "mine");
  messages.Expect("Record was not updated",
                  "An error (Record Is Already Held (43)) was experienced when making changes to "
                  "the Heads file.",
                  ButtonOk);
  EXPECT_EQ(mine->headsRelations.Update(false), data::SeverityQuestion);
  ASSERT_EQ(mine->heads.Fetch(HeadNumberKey), 0);  // reading is never refused
  EXPECT_EQ(Text(mine->HEA.NAME), "original");
  theirs->headsFile->Release();
  SetText(mine->HEA.NAME, "mine");
  EXPECT_EQ(mine->headsRelations.Update(false), 0);
}

TEST_F(TwoStationsTest, AFileLockedByTheOthersTransactionIsWaitedForThenRefused) {
  if (testing::TestsOnPostgres()) GTEST_SKIP() << "the server locks rows, not files";
  BothRead();
  runtime::StorageDriver& there = theirs->driver;
  ASSERT_EQ(there.Mark(*theirs->headsFile), 0);
  ASSERT_EQ(there.Logout(1), 0);
  SetText(theirs->HEA.NAME, "uncommitted");
  ASSERT_EQ(theirs->heads.Update(), 0);
  SetText(mine->HEA.NAME, "mine");
  messages.Expect("Transaction cancelled",
                  "Error: (Unable To Log Transaction (48)) attempting to frame the transaction on "
                  "Heads.",
                  ButtonOk);
  EXPECT_EQ(mine->headsRelations.Update(false), data::SeverityInform);
  messages.Expect("Record was not updated", "File Is Already Locked", ButtonOk);
  EXPECT_EQ(mine->heads.Update(), data::SeverityInform);
  ASSERT_EQ(there.Rollback(), 0);
  ASSERT_EQ(mine->heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(mine->HEA.NAME), "original");
}

TEST_F(TwoStationsTest, ReservedNumbersOfTwoStationsDoNotClash) {
  mine->heads.Open();
  theirs->heads.Open();
  ASSERT_EQ(mine->heads.PrimeRecord(), 0);
  ASSERT_EQ(theirs->heads.PrimeRecord(), 0);
  EXPECT_EQ(mine->HEA.NUMBER, 1);
  EXPECT_EQ(theirs->HEA.NUMBER, 2);
  ASSERT_EQ(theirs->heads.Insert(), 0);
  ASSERT_EQ(mine->heads.CancelAutoInc(), 0);
  EXPECT_EQ(mine->Count(*mine->headsFile), 1);
  mine->heads.Close();
  theirs->heads.Close();
}

// Answers every box with Yes and counts those that are not the numbering
// retry question a busy station may be asked.
class CountingMessages : public runtime::MessageService {
 public:
  uint32_t Show(const runtime::MessageRequest& request) override {
    if (request.caption != "Auto Increment Error") ++unexpected;
    return runtime::ButtonYes;
  }
  int unexpected = 0;
};

// Child exit codes: a line that was not added, a message box other than the
// numbering retry, and a fatal message (which would end the program).
constexpr int kLineNotAdded = 1;
constexpr int kUnexpectedMessage = 2;
constexpr int kHalted = 3;

// Two processes find the lines file missing, both make it and add lines to
// one invoice head at the same moment; every line must survive, numbered
// 1..n. Rounds on fresh folders give the race several chances.
TEST_F(TwoStationsTest, LinesAddedAtOnceByTwoProcessesAreNumberedOneToN) {
  constexpr int kRounds = 8;
  constexpr int kEach = 10;
  mine.reset();
  theirs.reset();
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    TempFolder fresh;
    std::string path = fresh.path();
    Gate gate;
    ASSERT_TRUE(gate.ok());
    auto addLines = [&](const std::function<void()>& ready) {
      CountingMessages counting;
      runtime::SetMessageService(&counting);
      runtime::SetHaltHandler([](int, std::string_view) { _exit(kHalted); });
      data::ErrorReporter reporter;
      reporter.Initialize();
      Station station(path, &reporter);
      ready();
      gate.Pass();
      for (int i = 0; i < kEach; ++i) {
        if (station.AddLine(1, "line") <= 0) return kLineNotAdded;
      }
      return counting.unexpected == 0 ? 0 : kUnexpectedMessage;
    };
    ChildProcess first(addLines);
    ChildProcess second(addLines);
    ASSERT_TRUE(first.started() && second.started());
    ASSERT_TRUE(first.WaitReady() && second.WaitReady());
    gate.Open(2);
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_EQ(second.Wait(), 0);

    Station station(path, &errors);
    station.lines.Open();
    station.lines.ClearRecord();
    station.LIN.HEAD = 1;
    ASSERT_EQ(station.lines.SetOnKey(LineNumberKey), 0);
    std::vector<int32_t> numbers;
    while (station.lines.NextQuietly() == 0 && station.LIN.HEAD == 1)
      numbers.push_back(station.LIN.LINE);
    station.lines.Close();
    std::vector<int32_t> expected(2 * kEach);
    std::iota(expected.begin(), expected.end(), 1);
    ASSERT_EQ(numbers, expected);
  }
}

}  // namespace
}  // namespace ledora::testing
