#include "data/file_manager.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "data/file_registry.h"
#include "data/thread_number.h"
#include "runtime/expr/name_table.h"
#include "runtime/window/thread_buffers.h"
#include "tests/data/station.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/pg_server.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using data::FileManager;
using runtime::ButtonOk;
using runtime::ButtonYes;

class FileManagerTest : public ::testing::Test {
 protected:
  FileManagerTest() {
    errors.Initialize();
    station = std::make_unique<Station>(folder.path(), &errors);
  }
  ~FileManagerTest() override { station.reset(); }

  bool Exists(const char* name) { return std::filesystem::exists(folder.File(name)); }

  TempFolder folder;
  data::ErrorReporter errors;
  ScriptedMessages messages;
  std::unique_ptr<Station> station;
};

// ---------------------------------------------------------------- opening

TEST_F(FileManagerTest, MissingFileIsCreatedOnFirstRealUseOnly) {
  if (testing::TestsOnPostgres()) GTEST_SKIP() << "about the KDS file on disk";
  FileManager& heads = station->heads;
  ASSERT_EQ(heads.Open(), 0);
  EXPECT_FALSE(Exists("HEADS.KDS"));  // opening only counts the use
  EXPECT_EQ(heads.MakeUsable(), 0);
  EXPECT_TRUE(Exists("HEADS.KDS"));
  EXPECT_TRUE(station->headsFile->IsOpen());
  EXPECT_EQ(heads.INFO->front().USED, 1);
}

TEST_F(FileManagerTest, MissingFileWithoutCreateIsAFatalFileAccessError) {
  HaltRecorder halt;
  messages.Expect("File Access Error", "File (Heads) could not be opened.  Error: File Not Found",
                  ButtonOk);
  station->heads.CREATE = 0;
  ASSERT_EQ(station->heads.Open(), 0);
  EXPECT_EQ(station->heads.MakeUsable(), data::SeverityStop);
  EXPECT_TRUE(halt.halted());
  EXPECT_FALSE(Exists("HEADS.KDS"));
}

TEST_F(FileManagerTest, RecordOperationOnAFileNeverOpenedIsAFileUsageError) {
  HaltRecorder halt;
  messages.Expect("File Usage Error", "Attempt to use file (Heads) before it was opened", ButtonOk);
  EXPECT_EQ(station->heads.NextQuietly(), data::SeverityStop);
  EXPECT_TRUE(halt.halted());
  EXPECT_FALSE(Exists("HEADS.KDS"));
}

TEST_F(FileManagerTest, AFileThatIsNotADatabaseFailsWithInvalidDataFile) {
  if (testing::TestsOnPostgres()) GTEST_SKIP() << "about the KDS file on disk";
  HaltRecorder halt;
  std::ofstream(folder.File("HEADS.KDS")) << "these are not the pages of a database";
  messages.Expect("File Access Error", "Invalid Data File (36)", ButtonOk);
  station->heads.Open();
  EXPECT_EQ(station->heads.Fetch(HeadNumberKey), data::SeverityStop);
  EXPECT_TRUE(halt.halted());
}

TEST_F(FileManagerTest, ATableWhoseColumnsDoNotMatchFailsWithInvalidRecordDeclaration) {
  ASSERT_EQ(station->AddOwner("Smith"), 1);
  HaltRecorder halt;
  // The owners' table read as if it held heads.
  station->headsFile->SetName(folder.File("OWNERS"));
  messages.Expect("File Access Error", "Invalid Record Declaration (47)", ButtonOk);
  station->heads.Open();
  EXPECT_EQ(station->heads.MakeUsable(), data::SeverityStop);
  EXPECT_TRUE(halt.halted());
}

TEST_F(FileManagerTest, AFileOnlyReadableShowsAccessDeniedOnceThenIsUsedReadOnly) {
  ASSERT_GT(station->AddHead(0, "first"), 0);
  Station other(folder.path(), &errors);
  ASSERT_EQ(other.headsFile->Open(runtime::AccessReadWrite | runtime::DenyWrite), 0);
  FileManager& heads = station->heads;
  heads.LOCKRECOVER = 0;
  messages.Expect("Access Denied", "Could not get write access to Heads so trying read-only.",
                  ButtonOk);
  ASSERT_EQ(heads.Open(), 0);
  station->HEA.NUMBER = 1;
  EXPECT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "first");
  EXPECT_EQ(heads.OPENMODE, runtime::AccessReadOnly | runtime::DenyNone);
  EXPECT_EQ(heads.Fetch(HeadNumberKey), 0);  // no second message
  EXPECT_TRUE(messages.Verify());
  heads.Close();
}

TEST_F(FileManagerTest, AMissingKeyIsRebuiltAfterTheInvalidKeyMessage) {
  if (testing::TestsOnPostgres()) GTEST_SKIP() << "drops the index inside the KDS file";
  ASSERT_GT(station->AddHead(0, "first"), 0);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(folder.File("HEADS.KDS").c_str(), &db), SQLITE_OK);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL",
                     -1, &statement, nullptr);
  ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
  std::string index = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  sqlite3_finalize(statement);
  ASSERT_EQ(sqlite3_exec(db, ("DROP INDEX \"" + index + "\"").c_str(), nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);

  messages.Expect("Invalid Key", "Heads key file is invalid. Key must be rebuilt.", ButtonOk);
  station->heads.Open();
  station->HEA.NUMBER = 1;
  EXPECT_EQ(station->heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "first");
  station->heads.Close();
}

TEST_F(FileManagerTest, OpenCountsNestAndTheLastCloseClosesPhysically) {
  FileManager& heads = station->heads;
  heads.Open();
  heads.Open();
  ASSERT_EQ(heads.MakeUsable(), 0);
  EXPECT_EQ(heads.INFO->front().OPENED, 2);
  heads.Close();
  EXPECT_TRUE(station->headsFile->IsOpen());
  heads.Close();
  EXPECT_FALSE(station->headsFile->IsOpen());
  EXPECT_EQ(heads.INFO->front().USED, 0);
  heads.Close();  // one close too many changes nothing
  EXPECT_EQ(heads.INFO->front().OPENED, 0);
}

TEST_F(FileManagerTest, OpeningBindsTheFieldsByLabelForExpressions) {
  station->heads.Open();
  const runtime::FieldRef* name = runtime::BoundNames().Find("hea:name");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->address, station->HEA.NAME);
  station->heads.Close();
}

TEST_F(FileManagerTest, TheRegistryFindsTheManagerOfAFile) {
  EXPECT_EQ(data::FileManagers().Find(station->linesFile.get()), &station->lines);
  station->lines.Shutdown();
  EXPECT_EQ(data::FileManagers().Find(station->linesFile.get()), nullptr);
}

// ---------------------------------------------------------------- keys

TEST_F(FileManagerTest, OrderStringsNameComponentsAsExpressionsSee) {
  FileManager& heads = station->heads;
  heads.AddKey(HeadRecentKey, "Recent first");
  EXPECT_EQ(heads.OrderString(HeadNameKey), "UPPER(HEA:NAME)");
  EXPECT_EQ(heads.OrderString(HeadOwnerKey), "HEA:OWNER,HEA:NUMBER");
  EXPECT_EQ(heads.OrderString(HeadOwnerKey, 2), "HEA:NUMBER");
  EXPECT_EQ(heads.OrderString(HeadRecentKey), "-HEA:NUMBER");
  EXPECT_EQ(heads.ComponentCount(HeadOwnerKey), 2);
  EXPECT_EQ(heads.ComponentName(HeadOwnerKey, 2), "HEA:NUMBER");
  EXPECT_EQ(heads.ComponentName(HeadOwnerKey, 3), "");
  EXPECT_EQ(heads.ComponentField(HeadOwnerKey, 1).address, &station->HEA.OWNER);
  EXPECT_EQ(heads.PRIMARYKEY, 1);
  EXPECT_EQ(heads.KEYS->at(1).DUPS, 0);
  EXPECT_EQ(heads.KEYS->at(2).DUPS, 1);
}

TEST_F(FileManagerTest, ClearingKeyComponentsHighRespectsDirection) {
  FileManager& heads = station->heads;
  heads.AddKey(HeadRecentKey, "Recent first");
  station->HEA.NUMBER = 5;
  station->HEA.OWNER = 5;
  heads.ClearKeyComponents(HeadOwnerKey, 1, 2, true);
  EXPECT_EQ(station->HEA.OWNER, INT32_MAX);
  EXPECT_EQ(station->HEA.NUMBER, INT32_MAX);
  heads.ClearKeyComponents(HeadOwnerKey, 2, 2, false);
  EXPECT_EQ(station->HEA.OWNER, INT32_MAX);
  EXPECT_EQ(station->HEA.NUMBER, 0);
  heads.ClearKeyComponents(HeadRecentKey, 1, 1, false);  // low end of a descending key
  EXPECT_EQ(station->HEA.NUMBER, INT32_MAX);
}

// ---------------------------------------------------------------- numbering

TEST_F(FileManagerTest, FirstInsertIntoAnEmptyFileGetsNumberOneAndTheNextTwo) {
  EXPECT_EQ(station->AddOwner("a"), 1);
  EXPECT_EQ(station->AddOwner("b"), 2);
  EXPECT_EQ(station->AddOwner("c"), 3);
}

TEST_F(FileManagerTest, LinesAreNumberedWithinTheirHead) {
  EXPECT_EQ(station->AddLine(1, "x"), 1);
  EXPECT_EQ(station->AddLine(1, "y"), 2);
  EXPECT_EQ(station->AddLine(3, "z"), 1);  // a later head with no lines yet
  EXPECT_EQ(station->AddLine(2, "w"), 1);  // a head between two with lines
  EXPECT_EQ(station->AddLine(1, "v"), 3);
  EXPECT_EQ(station->AddLine(3, "u"), 2);
}

TEST_F(FileManagerTest, PrimingReservesTheNumberAndInsertWritesOverIt) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.PrimeRecord(), 0);
  EXPECT_EQ(station->HEA.NUMBER, 1);
  EXPECT_EQ(heads.INFO->front().AUTOINCDONE, 1);
  EXPECT_EQ(station->headsFile->Records(), 1);  // the number is taken at once
  SetText(station->HEA.NAME, "reserved");
  ASSERT_EQ(heads.Insert(), 0);
  EXPECT_EQ(heads.INFO->front().AUTOINCDONE, 0);
  EXPECT_EQ(station->headsFile->Records(), 1);
  station->HEA = {};
  station->HEA.NUMBER = 1;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "reserved");
  heads.Close();
}

TEST_F(FileManagerTest, CancellingAnInsertDeletesTheReservedRecord) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.PrimeRecord(), 0);
  EXPECT_EQ(station->headsFile->Records(), 1);
  EXPECT_EQ(heads.CancelAutoInc(), 0);
  EXPECT_EQ(station->headsFile->Records(), 0);
  EXPECT_EQ(heads.INFO->front().AUTOINCDONE, 0);
  EXPECT_EQ(heads.CancelAutoInc(), 0);  // nothing reserved any more
  heads.Close();
}

// A station that ends without completing or cancelling its insert (as a
// killed one does) leaves its reserved record to be taken back.
class AbandonedReservationTest : public FileManagerTest {
 protected:
  // Another station reserves a head number and ends; the number.
  int32_t ReserveAndDie() {
    Station other(folder.path(), &errors);
    other.heads.Open();
    EXPECT_EQ(other.heads.PrimeRecord(), 0);
    int32_t number = other.HEA.NUMBER;
    other.heads.Close();
    return number;
  }
  long Heads() { return station->Count(*station->headsFile); }
};

TEST_F(AbandonedReservationTest, NumberingTakesBackTheTopOneAndReusesItsNumber) {
  ASSERT_EQ(ReserveAndDie(), 1);
  EXPECT_EQ(ReserveAndDie(), 1);
  EXPECT_EQ(Heads(), 1);
  EXPECT_EQ(station->AddHead(0, "mine"), 1);
  EXPECT_EQ(Heads(), 1);
}

TEST_F(AbandonedReservationTest, TheNextStationToOpenTheFileTakesThemBack) {
  ASSERT_EQ(ReserveAndDie(), 1);
  EXPECT_EQ(Heads(), 1);
  station->heads.Open();
  ASSERT_EQ(station->heads.MakeUsable(), 0);
  EXPECT_EQ(Heads(), 0);
  station->heads.Close();
}

TEST_F(AbandonedReservationTest, TheSweepTakesBackOnlyDeadUnwrittenOnes) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.MakeUsable(), 0);
  Station living(folder.path(), &errors);
  living.heads.Open();
  ASSERT_EQ(living.heads.PrimeRecord(), 0);  // 1, kept by a live station
  ASSERT_EQ(ReserveAndDie(), 2);
  station->HEA.NUMBER = 5;
  station->HEA.OWNER = 0;
  SetText(station->HEA.NAME, "five");
  ASSERT_EQ(heads.CurrentFile().Add(), 0);  // added whole: not a reservation
  EXPECT_EQ(station->AddHead(0, ""), 6);    // written blank: a record like any other
  EXPECT_EQ(heads.TakeBackAbandoned(), 1);
  EXPECT_EQ(heads.TakeBackAbandoned(), 0);
  EXPECT_EQ(Heads(), 3);
  ASSERT_EQ(living.heads.Insert(), 0);
  living.heads.Close();
  EXPECT_EQ(station->AddHead(0, "next"), 7);  // 2 was not the highest: not reused
  heads.Close();
}

// The test may read other files, so only the sweep runs it, never numbering
// inside its transaction.
TEST_F(AbandonedReservationTest, TheDictionarysTestKeepsThoseOthersDependOn) {
  ASSERT_EQ(ReserveAndDie(), 1);
  bool mayGo = false;
  station->heads.SetTakeBackTest([&] { return mayGo; });
  EXPECT_EQ(station->AddHead(0, "mine"), 2);
  station->heads.Open();
  EXPECT_EQ(station->heads.TakeBackAbandoned(), 0);
  EXPECT_EQ(Heads(), 2);
  mayGo = true;
  EXPECT_EQ(station->heads.TakeBackAbandoned(), 1);
  station->heads.Close();
  EXPECT_EQ(Heads(), 1);
}

// After the largest number there is none: asking again finds the same,
// and no negative or wrapped number is ever stored.
TEST_F(FileManagerTest, NumberingPastTheLargestLongIsAnAutoIncrementError) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.MakeUsable(), 0);
  station->HEA.NUMBER = 2147483647;
  ASSERT_EQ(heads.CurrentFile().Add(), 0);
  messages.Expect("Auto Increment Error", "The highest number is in use (2147483647)", ButtonYes);
  messages.Expect("Auto Increment Error", "", runtime::ButtonNo);
  EXPECT_EQ(heads.PrimeRecord(), data::SeverityInform);
  EXPECT_EQ(heads.PrimeAutoIncQuietly(), data::SeverityInform);
  EXPECT_EQ(heads.LastError(), 32);
  EXPECT_EQ(station->headsFile->Records(), 1);
  EXPECT_EQ(heads.INFO->front().AUTOINCDONE, 0);
  heads.Close();
}

TEST_F(FileManagerTest, ADuplicateOnASecondKeyNamesThatKey) {
  ASSERT_GT(station->AddHead(0, "Alpha"), 0);
  messages.Expect("Duplicate Key Error",
                  "Adding this record creates a duplicate entry for the key: Head name", ButtonOk);
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.PrimeRecord(), 0);
  SetText(station->HEA.NAME, "ALPHA");  // the name key ignores case
  EXPECT_EQ(heads.Insert(), data::SeverityInform);
  EXPECT_EQ(heads.CancelAutoInc(), 0);  // the form gives up
  // Inserting without priming first reports the same, not a numbering failure.
  messages.Expect("Duplicate Key Error", "Head name", ButtonOk);
  station->HEA = {};
  SetText(station->HEA.NAME, "alpha");
  EXPECT_EQ(heads.Insert(), data::SeverityInform);
  EXPECT_EQ(station->headsFile->Records(), 1);
  heads.Close();
}

TEST_F(FileManagerTest, AFailingValidationKeepsTheRecordOut) {
  struct Picky : FileManager {
    data::Severity ValidateField(int field) override {
      return field == 3 ? data::SeverityInform : data::SeverityNone;
    }
  };
  Picky picky;
  picky.Initialize(station->ownersFile.get(), &errors);
  ASSERT_EQ(picky.Open(), 0);
  int failed = 0;
  EXPECT_EQ(picky.ValidateRecord(failed), 0);  // owners have two fields
  picky.Shutdown();
  picky.Initialize(station->headsFile.get(), &errors);
  picky.Open();
  EXPECT_EQ(picky.ValidateRecord(failed), data::SeverityInform);
  EXPECT_EQ(failed, 3);
  messages.Expect("Record Insert Error", "Value refused (HEA:NAME)", ButtonOk);
  EXPECT_EQ(picky.Insert(), data::SeverityInform);
  EXPECT_EQ(station->headsFile->Records(), 0);
  picky.Close();
  picky.Shutdown();
}

// Whoever shows the noted message after a refused write must show the
// refusal, not whatever failed before it; a hook's own message stands.
TEST_F(FileManagerTest, ARefusedUpdateNotesItsOwnMessage) {
  struct Picky : FileManager {
    data::Severity ValidateField(int field) override {
      if (field != 3) return data::SeverityNone;
      if (ownMessage) NoteError(data::MsgValueNotBetween);
      return data::SeverityInform;
    }
    bool ownMessage = false;
  };
  ASSERT_EQ(station->AddHead(0, "h"), 1);
  Picky picky;
  picky.Initialize(station->headsFile.get(), &errors);
  data::RelationController relations;
  relations.Initialize(&picky, true);
  ASSERT_EQ(relations.Open(), 0);
  station->HEA.NUMBER = 1;
  ASSERT_EQ(picky.Fetch(HeadNumberKey), 0);
  picky.NoteError(data::MsgHeldRecordSkipped);  // an earlier, unrelated failure
  messages.Expect("Record was not updated", "Value refused (HEA:NAME)", ButtonOk);
  EXPECT_NE(relations.Update(), 0);
  EXPECT_EQ(picky.LastError(), 25);
  picky.ownMessage = true;
  errors.FIELDNAME = "HEA:NAME";
  errors.MESSAGETEXT = "1 and 2";
  messages.Expect("Range Error", "The value of HEA:NAME must be between 1 and 2.", ButtonOk);
  EXPECT_NE(relations.Update(), 0);
  relations.Close();
  picky.Shutdown();
}

TEST_F(FileManagerTest, ABoundNameVariableIsTheNameInMessages) {
  HaltRecorder halt;
  std::string name = "RptDes1.KDS\\!LTypes   ";
  station->heads.FILENAME = &name;
  messages.Expect("File Usage Error", "Attempt to use file (RptDes1.KDS\\!LTypes) before",
                  ButtonOk);
  station->heads.Fetch(HeadNumberKey);
  EXPECT_EQ(station->heads.DisplayName(), "RptDes1.KDS\\!LTypes");
}

// An alias is a second declaration of the heads table with a buffer of its
// own; its checks and priming run on the real file's manager.
TEST_F(FileManagerTest, AnAliasValidatesAndPrimesThroughTheRealFile) {
  struct Picky : FileManager {
    data::Severity ValidateField(int field) override {
      return field == 3 && Text(record->NAME) == "bad" ? data::SeverityInform : data::SeverityNone;
    }
    HeadRecord* record = nullptr;
  };
  Picky real;
  real.record = &station->HEA;
  real.Initialize(station->headsFile.get(), &errors);
  real.AddKey(HeadNumberKey, "Head number", 1);
  HeadRecord aliasRecord{};
  runtime::FileDeclaration declaration = station->headsFile->declaration();
  declaration.buffer = &aliasRecord;
  std::unique_ptr<runtime::DataFile> aliasFile = station->driver.Declare(declaration);
  FileManager alias;
  alias.Initialize(aliasFile.get(), &errors);
  alias.ALIASEDFILE = &real;
  real.Open();
  alias.Open();

  SetText(station->HEA.NAME, "real's own");
  SetText(aliasRecord.NAME, "bad");
  int failed = 0;
  EXPECT_EQ(alias.ValidateRecord(failed), data::SeverityInform);
  EXPECT_EQ(failed, 3);
  SetText(aliasRecord.NAME, "good");
  EXPECT_EQ(alias.ValidateRecord(failed), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "real's own");

  ASSERT_EQ(alias.PrimeRecord(), 0);
  EXPECT_EQ(aliasRecord.NUMBER, 1);
  EXPECT_EQ(Text(station->HEA.NAME), "real's own");
  real.CancelAutoInc();
  alias.Close();
  real.Close();
  real.Shutdown();
  alias.Shutdown();
}

// ---------------------------------------------------------------- reading

TEST_F(FileManagerTest, ReadingPastTheLastRecordSetsAtEnd) {
  station->AddLine(1, "a");
  station->AddLine(1, "b");
  FileManager& lines = station->lines;
  lines.Open();
  lines.ClearRecord();
  ASSERT_EQ(lines.SetOnKey(LineNumberKey), 0);
  EXPECT_EQ(lines.NextQuietly(), 0);
  EXPECT_EQ(lines.NextQuietly(), 0);
  EXPECT_FALSE(lines.AtEnd());
  EXPECT_EQ(lines.NextQuietly(), data::SeverityInform);
  EXPECT_TRUE(lines.AtEnd());
  lines.Close();
}

TEST_F(FileManagerTest, AFailedFetchClearsTheBufferAndAQuietOneKeepsIt) {
  station->AddHead(0, "there");
  FileManager& heads = station->heads;
  heads.Open();
  station->HEA.NUMBER = 9;
  SetText(station->HEA.NAME, "kept");
  EXPECT_EQ(heads.FetchQuietly(HeadNumberKey), data::SeverityInform);
  EXPECT_EQ(Text(station->HEA.NAME), "kept");
  EXPECT_EQ(heads.Fetch(HeadNumberKey), data::SeverityInform);
  EXPECT_EQ(Text(station->HEA.NAME), "");
  EXPECT_EQ(station->HEA.NUMBER, 0);
  heads.Close();
}

TEST_F(FileManagerTest, PositionAndRereadFindTheSameRecord) {
  station->AddHead(0, "one");
  station->AddHead(0, "two");
  FileManager& heads = station->heads;
  heads.Open();
  station->HEA.NUMBER = 1;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  std::string position = heads.Position();
  station->HEA.NUMBER = 2;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  ASSERT_EQ(heads.Reread(position), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "one");
  EXPECT_EQ(heads.Reread("999"), data::SeverityInform);
  heads.Close();
}

// ---------------------------------------------------------------- snapshots

TEST_F(FileManagerTest, RecordSnapshotsNumberUpAndRestoreOnRequest) {
  FileManager& owners = station->owners;
  owners.Open();
  SetText(station->OWN.NAME, "before");
  int32_t first = owners.SaveRecord();
  int32_t second = owners.SaveRecord();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 2);
  EXPECT_TRUE(owners.RecordUnchanged(first));
  SetText(station->OWN.NAME, "after");
  EXPECT_FALSE(owners.RecordUnchanged(first));
  owners.RestoreRecord(second, false);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(Text(station->OWN.NAME), "after");
  owners.RestoreRecord(first, true);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(Text(station->OWN.NAME), "before");
  EXPECT_TRUE(owners.BUFFERS->empty());
  EXPECT_FALSE(owners.RecordUnchanged(7));
  owners.Close();
}

TEST_F(FileManagerTest, RestoringTheFileStateResumesTheSequence) {
  for (const char* text : {"a", "b", "c", "d"}) station->AddLine(1, text);
  FileManager& lines = station->lines;
  lines.Open();
  lines.ClearRecord();
  lines.SetOnKey(LineNumberKey);
  ASSERT_EQ(lines.NextQuietly(), data::SeverityNone);
  ASSERT_EQ(lines.NextQuietly(), data::SeverityNone);
  uint16_t state = lines.SaveFileState();
  ASSERT_EQ(lines.NextQuietly(), data::SeverityNone);
  ASSERT_EQ(lines.NextQuietly(), data::SeverityNone);
  EXPECT_EQ(Text(station->LIN.TEXT), "d");
  lines.RestoreFileState(state);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(Text(station->LIN.TEXT), "b");
  ASSERT_EQ(lines.NextQuietly(), 0);
  EXPECT_EQ(Text(station->LIN.TEXT), "c");
  EXPECT_TRUE(lines.SAVED->empty());
  EXPECT_TRUE(lines.BUFFERS->empty());
  lines.Close();
}

// ---------------------------------------------------------------- threads

int32_t threadNumber = 1;
int32_t TestThread() { return threadNumber; }

// Switches threads as the scheduler does: the thread number changes, and
// each thread sees its own copy of the heads record.
class ThreadsTest : public FileManagerTest {
 protected:
  ThreadsTest() {
    data::SetThreadNumberSource(TestThread);
    buffers.Register(&station->HEA, sizeof station->HEA);
  }
  ~ThreadsTest() override {
    threadNumber = 1;
    data::SetThreadNumberSource(nullptr);
  }
  void SwitchTo(int32_t thread) {
    threadNumber = thread;
    buffers.SwitchTo(thread);
  }

  runtime::ThreadBuffers buffers;
};

TEST_F(ThreadsTest, AFilePerThreadHasItsOwnOpenStateOnEachThread) {
  FileManager& lines = station->lines;
  lines.SetPerThread(true);
  lines.Open();
  ASSERT_EQ(lines.MakeUsable(), 0);
  threadNumber = 2;
  HaltRecorder halt;
  messages.Expect("File Usage Error", "", ButtonOk);
  EXPECT_EQ(lines.MakeUsable(), data::SeverityStop);  // thread 2 never opened it
  lines.Open();
  ASSERT_EQ(lines.MakeUsable(), 0);
  EXPECT_EQ(lines.INFO->size(), 2u);
  threadNumber = 1;
  lines.Close();
  EXPECT_FALSE(station->linesFile->IsOpen());
  threadNumber = 2;
  EXPECT_EQ(station->AddLine(4, "still"), 1);  // thread 2's use is still open
  EXPECT_TRUE(lines.CurrentFile().IsOpen());
  lines.Close();
  EXPECT_FALSE(lines.CurrentFile().IsOpen());
  data::FileManagers().ThreadEnded(2);
  EXPECT_EQ(lines.INFO->size(), 1u);
}

TEST_F(ThreadsTest, TheRegistryFindsTheManagerOfALaterThreadsOwnFile) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(&heads.CurrentFile(), station->headsFile.get());
  threadNumber = 2;
  heads.Open();
  runtime::DataFile* own = &heads.CurrentFile();
  ASSERT_NE(own, station->headsFile.get());
  // A view declared on this thread names its own file; priming and opening
  // through the view must still reach the manager.
  EXPECT_EQ(data::FileManagers().Find(own), &heads);
  heads.Close();
  threadNumber = 1;
  heads.Close();
}

TEST_F(ThreadsTest, ASharedFileCountsOneOpenStateForAllThreads) {
  FileManager& heads = station->heads;
  heads.Open();
  threadNumber = 2;
  heads.Open();
  EXPECT_EQ(heads.INFO->size(), 1u);
  EXPECT_EQ(heads.INFO->front().OPENED, 2);
  ASSERT_EQ(heads.MakeUsable(), 0);
  threadNumber = 1;
  heads.Close();
  EXPECT_EQ(heads.INFO->front().USED, 1);
  threadNumber = 2;
  heads.Close();
  EXPECT_EQ(heads.INFO->front().USED, 0);
  EXPECT_FALSE(station->headsFile->IsOpen());
}

TEST_F(ThreadsTest, ProceduresOnASharedFileKeepTheirOwnRecord) {
  station->AddHead(0, "one");
  station->AddHead(0, "two");
  FileManager& heads = station->heads;
  HeadRecord& HEA = station->HEA;
  heads.Open();
  HEA.NUMBER = 1;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  SetText(HEA.NAME, "one, edited");  // a form on thread 1 waits for the user

  SwitchTo(2);
  EXPECT_EQ(HEA.NUMBER, 0);  // thread 2 starts with a clear record
  heads.Open();
  HEA.NUMBER = 2;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(HEA.NAME), "two");

  SwitchTo(1);
  EXPECT_EQ(Text(HEA.NAME), "one, edited");
  ASSERT_EQ(heads.Update(), 0);  // writes record 1, not the one thread 2 read last

  SwitchTo(2);
  EXPECT_EQ(Text(HEA.NAME), "two");
  SetText(HEA.NAME, "two, edited");
  ASSERT_EQ(heads.Update(), 0);
  heads.Close();
  data::FileManagers().ThreadEnded(2);

  SwitchTo(1);
  HEA.NUMBER = 1;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(HEA.NAME), "one, edited");
  HEA.NUMBER = 2;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(HEA.NAME), "two, edited");
  heads.Close();
}

TEST_F(ThreadsTest, ANumberReservedOnOneThreadIsNotOverwrittenByAnother) {
  FileManager& heads = station->heads;
  heads.Open();
  ASSERT_EQ(heads.PrimeRecord(), 0);  // thread 1's form reserves number 1
  SwitchTo(2);
  heads.Open();
  ASSERT_EQ(heads.PrimeRecord(), 0);
  EXPECT_EQ(station->HEA.NUMBER, 2);
  SetText(station->HEA.NAME, "second");
  ASSERT_EQ(heads.Insert(), 0);
  EXPECT_EQ(heads.INFO->front().AUTOINCDONE, 1);  // thread 1 still holds its number
  SwitchTo(1);
  SetText(station->HEA.NAME, "first");
  ASSERT_EQ(heads.Insert(), 0);
  EXPECT_EQ(station->headsFile->Records(), 2);
  station->HEA.NUMBER = 1;
  ASSERT_EQ(heads.Fetch(HeadNumberKey), 0);
  EXPECT_EQ(Text(station->HEA.NAME), "first");
  SwitchTo(2);
  heads.Close();
  SwitchTo(1);
  heads.Close();
}

}  // namespace
}  // namespace ledora::testing
