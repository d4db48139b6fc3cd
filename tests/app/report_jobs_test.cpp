#include "app/report_jobs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/data_jobs.h"
#include "layout/design_database.h"
#include "layout/design_transfer.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/file_names.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

class ReportJobsTest : public ::testing::Test {
 protected:
  ReportJobsTest() { std::filesystem::current_path(folder.path()); }
  ~ReportJobsTest() override { std::filesystem::current_path(previous); }

  std::filesystem::path previous = std::filesystem::current_path();
  testing::TempFolder folder;
  std::ostringstream messages;
};

TEST_F(ReportJobsTest, MadeFileInstallsThroughTheUpdate) {
  ASSERT_EQ(MakeNewReportsJob({}, messages), JobDone) << messages.str();
  ASSERT_TRUE(runtime::FileExists("RPTNEW1.KDS"));

  // An older data folder: design files without any report type yet.
  runtime::SqliteDriver driver;
  layout::DesignDatabase designs(driver);
  layout::ShippedReports empty;
  ASSERT_TRUE(empty.Parse("", nullptr));
  ASSERT_EQ(empty.MakeDesignFiles(designs), 0);
  testing::ScriptedMessages boxes;
  layout::DesignTransfer transfer(designs);
  EXPECT_EQ(transfer.UpdateFromNewReports(), layout::UpdateCompleted);
  EXPECT_FALSE(runtime::FileExists("RPTNEW1.KDS"));
}

TEST_F(ReportJobsTest, TheMessageNamesTheFileMade) {
  ASSERT_EQ(MakeNewReportsJob({"update"}, messages), JobDone) << messages.str();
  EXPECT_NE(messages.str().find("made update.KDS with"), std::string::npos) << messages.str();
  EXPECT_TRUE(std::filesystem::exists("update.KDS"));
  ASSERT_EQ(MakeNewReportsJob({}, messages), JobDone);
  messages.str("");
  ASSERT_EQ(MakeNewReportsJob({"rptnew1.kds"}, messages), JobDone) << messages.str();
  EXPECT_NE(messages.str().find("made RPTNEW1.KDS with"), std::string::npos) << messages.str();
  EXPECT_FALSE(std::filesystem::exists("rptnew1.kds"));
}

TEST_F(ReportJobsTest, WrongCommandLineOrUnwritablePlaceFails) {
  EXPECT_EQ(MakeNewReportsJob({"a.kds", "b.kds"}, messages), JobUsage);
  EXPECT_EQ(MakeNewReportsJob({"--help"}, messages), JobUsage);
  EXPECT_EQ(MakeNewReportsJob({"no/such/folder/RPTNEW1.KDS"}, messages), JobFailed);
  EXPECT_NE(messages.str().find("cannot make no/such/folder/RPTNEW1.KDS"), std::string::npos)
      << messages.str();
}

// A new-reports file made over a data file would add design tables to it or
// reset its designs' defaults.
TEST_F(ReportJobsTest, DataFilesOfTheFolderAreNeverMadeOver) {
  ASSERT_EQ(MakeNewReportsJob({"update"}, messages), JobDone) << messages.str();
  std::filesystem::copy_file("update.KDS", "CUSTOMER.KDS");
  std::filesystem::resize_file("update.KDS", 100);
  for (const char* name : {"CUSTOMER.KDS", "customer", "RptDes1.KDS", "NewRpt", "ledora.INI",
                           "RPTDES1.KDB", "update.kds"}) {
    EXPECT_EQ(MakeNewReportsJob({name}, messages), JobFailed) << name;
  }
  EXPECT_NE(messages.str().find("choose another output"), std::string::npos) << messages.str();
  EXPECT_EQ(std::filesystem::file_size("update.KDS"), 100u);
  for (const char* made : {"ledora.INI", "RptDes1.KDS", "NewRpt.KDS", "RPTDES1.KDB"}) {
    EXPECT_FALSE(runtime::FileExists(made)) << made;
  }
}

}  // namespace
}  // namespace ledora::app
