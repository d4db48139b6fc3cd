// Moving a data folder's data to PostgreSQL and back with copy-data: the
// same records come back, a copy never goes over data already there, and a
// copy that fails leaves nothing behind.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "app/copy_data_job.h"
#include "app/data_jobs.h"
#include "app/demo_data.h"
#include "app/invoicing_dictionary.h"
#include "app/storage_choice.h"
#include "layout/design_database.h"
#include "layout/shipped_reports.h"
#include "runtime/storage/pg_driver.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/support/command_output.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/pg_server.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

namespace fs = std::filesystem;
using layout::DesignTable;

constexpr DesignTable kDesignTables[] = {layout::R_Types,      layout::R_Bands,    layout::R_Fields,
                                         layout::R_TypeFields, layout::R_Pformats, layout::R_Design,
                                         layout::R_Content,    layout::R_StdDesign};

class CopyDataTest : public ::testing::Test {
 protected:
  CopyDataTest() : previous_(fs::current_path()) { unsetenv(kDatabaseVariable); }
  ~CopyDataTest() override { fs::current_path(previous_); }
  void SetUp() override {
    ASSERT_TRUE(testing::SharedPgServer().running()) << testing::SharedPgServer().error();
    url = testing::SharedPgServer().Url() + "&schema=" + testing::FreshSchema();
  }

  // The sample data and the shipped designs, in folder.
  void Fill(const testing::TempFolder& folder) {
    fs::current_path(folder.path());
    data::ErrorReporter errors;
    errors.Initialize();
    runtime::SqliteDriver driver;
    ASSERT_TRUE(DictionarySetup(driver, errors));
    EXPECT_EQ(FillDemoData(82000, 3, DemoSize{12, 9, 20, 4}), DemoFilled);
    DictionaryShutdown();
    layout::DesignDatabase designs(driver);
    layout::ShippedReports shipped;
    std::string error;
    ASSERT_TRUE(shipped.Parse(layout::ShippedReportsText(), &error)) << error;
    ASSERT_EQ(shipped.MakeDesignFiles(designs), 0);
  }
  int Run(const testing::TempFolder& folder, const char* direction) {
    fs::current_path(folder.path());
    messages.str("");
    return CopyDataJob({direction, url}, messages);
  }
  // Every file's CSV export and every design record, as the folder holds them.
  std::string Contents(const testing::TempFolder& folder) {
    fs::current_path(folder.path());
    std::ostringstream all, ignored;
    for (const char* file : {"CUSTOMER", "ITEMS", "INVOICES", "INVOICEL"}) {
      EXPECT_EQ(ExportJob({file}, all, ignored), JobDone) << ignored.str();
    }
    runtime::SqliteDriver driver;
    layout::DesignDatabase designs(driver);
    for (DesignTable table : kDesignTables) {
      runtime::DataFile& file = *designs.File(table);
      EXPECT_EQ(file.Open(runtime::AccessReadOnly | runtime::DenyNone), 0);
      EXPECT_EQ(file.SetOrder(0), 0);
      const char* record = static_cast<const char*>(file.declaration().buffer);
      while (file.Next() == 0) {
        all << '\n' << std::string(record, file.declaration().layout->recordSize());
      }
      file.Close();
    }
    return all.str();
  }

  // The customer list as the program prints it from folder (or from the
  // database, when given), read back from the PDF.
  std::string Printed(const testing::TempFolder& folder, const std::string& database = "") {
    std::string program =
        (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
    std::string pdf = pdfs.File("customers.pdf");
    fs::remove(pdf);
    std::string command = "cd '" + folder.path() + "' && QT_QPA_PLATFORM=offscreen " +
                          (database.empty() ? "" : "LEDORA_DATABASE='" + database + "' ") +
                          program + " print customers --pdf '" + pdf +
                          "' >/dev/null 2>&1 && pdftotext -layout '" + pdf + "' - 2>&1";
    return testing::CommandOutput(command);
  }

  std::string url;
  testing::TempFolder original, copy, pdfs;
  testing::ScriptedMessages boxes;
  testing::HaltRecorder halts;
  std::ostringstream messages;

 private:
  fs::path previous_;
};

TEST_F(CopyDataTest, ThereAndBackGivesTheSameRecordsAndNeverCopiesOverData) {
  Fill(original);
  ASSERT_EQ(Run(original, "--to"), JobDone) << messages.str();
  EXPECT_NE(messages.str().find("copy-data: INVOICEL, "), std::string::npos) << messages.str();
  EXPECT_EQ(Run(original, "--to"), JobFailed);
  EXPECT_NE(messages.str().find("already holds data"), std::string::npos) << messages.str();

  ASSERT_EQ(Run(copy, "--from"), JobDone) << messages.str();
  // The designs print the same from the folder, the database and the copy.
  std::string printed = Printed(original);
  EXPECT_NE(printed.find("Customer List"), std::string::npos) << printed;
  EXPECT_EQ(Printed(original, url), printed);
  EXPECT_EQ(Printed(copy), printed);
  std::string before = Contents(original);
  EXPECT_GT(before.size(), 1000u);
  EXPECT_EQ(Contents(copy), before);
  EXPECT_EQ(Run(copy, "--from"), JobFailed);  // the folder holds data now
  EXPECT_EQ(Contents(copy), before);
}

TEST_F(CopyDataTest, ACopyThatFailsHalfWayLeavesNothingThere) {
  Fill(original);
  // The designs' content table is there already, made for another record,
  // so the copy fails after the invoicing files went in.
  runtime::PgDriver driver;
  ASSERT_EQ(driver.Connect(testing::SharedPgServer().Url(), url.substr(url.find("&schema=") + 8)),
            0);
  layout::DesignDatabase designs(driver);
  runtime::FileDeclaration wrong = designs.File(layout::R_Types)->declaration();
  wrong.name = "NewRpt.KDS\\!Contents";
  ASSERT_EQ(driver.Declare(wrong)->Create(), 0);

  EXPECT_EQ(Run(original, "--to"), JobFailed);
  EXPECT_NE(messages.str().find("nothing was copied"), std::string::npos) << messages.str();
  runtime::FileDeclaration customers = designs.File(layout::R_Types)->declaration();
  customers.name = "CUSTOMER";
  EXPECT_EQ(driver.Declare(customers)->Open(), runtime::ErrorFileNotFound);
  // Nor does a failing copy back leave files in the folder.
  EXPECT_EQ(Run(copy, "--from"), JobFailed);
  EXPECT_TRUE(fs::is_empty(copy.path()));
}

// A copy back that failed on a full disk once left a customer file's
// journal, which emptied the next customer file of that name at its first
// open. The disk fills up at ever later writes, until the copy gets through.
TEST_F(CopyDataTest, ACopyBackOnAFullDiskLeavesNoFileNorJournal) {
  Fill(original);
  ASSERT_EQ(Run(original, "--to"), JobDone) << messages.str();
  std::string before = Contents(original);
  std::string program =
      (fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "ledora").string();
  int failed = 0;
  // LeakSanitizer cannot run under ptrace and fails the program at its end.
  for (int write = 1; write < 4000; write += 1 + write / 3) {
    SCOPED_TRACE("disk full at write " + std::to_string(write));
    std::string command = "cd '" + copy.path() +
                          "' && ASAN_OPTIONS=detect_leaks=0 strace -f -qq -o /dev/null -e trace=pwrite64 -e "
                          "inject=pwrite64:error=ENOSPC:when=" +
                          std::to_string(write) + "+ '" + program + "' copy-data --from '" + url +
                          "' >/dev/null 2>&1";
    int status = std::system(command.c_str());
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) break;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == JobFailed) << status;
    ++failed;
    ASSERT_TRUE(fs::is_empty(copy.path())) << fs::directory_iterator(copy.path())->path();
  }
  EXPECT_GT(failed, 3);
  for (const char* file :
       {"CUSTOMER.KDS", "ITEMS.KDS", "INVOICES.KDS", "INVOICEL.KDS", "RptDes1.KDS", "NewRpt.KDS"}) {
    fs::remove(copy.File(file));
    fs::copy_file(original.File(file), copy.File(file));
  }
  EXPECT_EQ(Contents(copy), before);
}

}  // namespace
}  // namespace ledora::app
