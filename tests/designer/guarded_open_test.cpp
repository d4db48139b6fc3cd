#include "designer/guarded_open.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "layout/design_records.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/designer/paper_formats_table.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using designer::GuardedOpen;
using runtime::ButtonNo;
using runtime::ButtonOk;
using runtime::ButtonYes;

class GuardedOpenTest : public ::testing::Test {
 protected:
  GuardedOpenTest() : file(driver.Declare(PaperFormats(folder.path()))) {}
  ~GuardedOpenTest() override { file->Close(); }

  void MakeTable() {
    ASSERT_EQ(file->Create(), 0);
    ASSERT_EQ(file->Open(), 0);
    ASSERT_EQ(file->Close(), 0);
  }

  TempFolder folder;
  HaltRecorder halts;
  ScriptedMessages messages;
  runtime::SqliteDriver driver;
  std::unique_ptr<runtime::DataFile> file;
};

TEST_F(GuardedOpenTest, AnExistingTableOpensQuietlyAndAgainWhileOpen) {
  MakeTable();
  EXPECT_TRUE(GuardedOpen(*file));
  EXPECT_TRUE(file->IsOpen());
  EXPECT_TRUE(GuardedOpen(*file));  // already open counts as opened
  EXPECT_FALSE(halts.halted());
}

TEST_F(GuardedOpenTest, AMissingTableIsCreatedWhenAllowed) {
  EXPECT_TRUE(GuardedOpen(*file, runtime::OpenReadWriteShared, true));
  EXPECT_TRUE(file->IsOpen());
  EXPECT_EQ(file->Records(), 0);
  EXPECT_FALSE(halts.halted());
}

TEST_F(GuardedOpenTest, AMissingTableThatMayNotBeCreatedStopsWithFileCreationError) {
  messages.Expect("File Creation Error",
                  "Error: (File Not Found (2)) creating R_Pformats.  Press OK to end this "
                  "application.",
                  ButtonOk);
  EXPECT_FALSE(GuardedOpen(*file, runtime::OpenReadWriteShared, false));
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "File Creation Error!");
}

TEST_F(GuardedOpenTest, AForeignFileEndsWithFileAccessErrorAndDiskError) {
  std::ofstream(folder.File("RptDes1.KDS")) << "not a database at all, just some text";
  messages.Expect("File Access Error", "File (R_Pformats) could not be opened.  Error: ", ButtonOk);
  EXPECT_FALSE(GuardedOpen(*file, runtime::OpenReadWriteShared, true));
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "Disk Error");
}

TEST_F(GuardedOpenTest, ATableOfAnotherRecordShapeIsAnInvalidFile) {
  MakeTable();
  runtime::FileDeclaration other = PaperFormats(folder.path());
  other.layout = &layout::DesignTableLayout(layout::R_StdDesign);
  other.buffer = layout::DesignTableBuffer(layout::R_StdDesign);
  other.keys = layout::DesignTableKeys(layout::R_StdDesign);
  std::unique_ptr<runtime::DataFile> mismatched = driver.Declare(other);
  messages.Expect("Invalid File", "accessing R_Pformats.", ButtonOk);
  EXPECT_FALSE(GuardedOpen(*mismatched));
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "Invalid File!");
}

// A declaration with one key more than the stored table: its index is missing.
std::unique_ptr<runtime::DataFile> WithExtraKey(runtime::SqliteDriver& driver,
                                                const std::string& folder) {
  runtime::FileDeclaration declaration = PaperFormats(folder);
  runtime::KeyDeclaration size;
  size.label = "R_P:SIZEKEY";
  size.components = {{3}, {4}};
  declaration.keys.push_back(size);
  return driver.Declare(declaration);
}

TEST_F(GuardedOpenTest, AMissingKeyIsRebuiltWhenTheUserAgrees) {
  MakeTable();
  std::unique_ptr<runtime::DataFile> extended = WithExtraKey(driver, folder.path());
  messages.Expect("Invalid Key", "R_Pformats key file is invalid.", ButtonYes);
  EXPECT_TRUE(GuardedOpen(*extended));
  EXPECT_TRUE(extended->IsOpen());
  EXPECT_FALSE(halts.halted());
  extended->Close();
}

TEST_F(GuardedOpenTest, RefusingTheKeyRebuildStopsWithInvalidKey) {
  MakeTable();
  std::unique_ptr<runtime::DataFile> extended = WithExtraKey(driver, folder.path());
  messages.Expect("Invalid Key", "", ButtonNo);
  EXPECT_FALSE(GuardedOpen(*extended));
  ASSERT_EQ(halts.calls().size(), 1u);
  EXPECT_EQ(halts.calls()[0].text, "Invalid Key!");
  EXPECT_FALSE(extended->IsOpen());
}

TEST_F(GuardedOpenTest, ALockedFileThatFreesItselfWithinTheRecoveryOpensWithoutAMessage) {
  MakeTable();
  std::string name = PaperFormats(folder.path()).name;
  ChildProcess other([&](const std::function<void()>& ready) {
    runtime::SqliteDriver theirs;
    runtime::FileDeclaration declaration = PaperFormats(folder.path());
    std::unique_ptr<runtime::DataFile> formats = theirs.Declare(declaration);
    if (formats->Open() != 0 || theirs.Mark(*formats) != 0 || theirs.Logout(1) != 0) return 1;
    layout::R_P = {};
    std::memcpy(layout::R_P.FORMATNAME, "A4", 2);
    if (formats->Add() != 0) return 2;
    ready();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return theirs.Commit();
  });
  ASSERT_TRUE(other.WaitReady());
  ASSERT_EQ(file->Send("Recover=0"), 0);  // the first open gives up at once
  EXPECT_TRUE(GuardedOpen(*file));
  EXPECT_EQ(other.Wait(), 0);
  EXPECT_EQ(file->Records(), 1);
  EXPECT_FALSE(halts.halted());
}

}  // namespace
}  // namespace ledora::testing
