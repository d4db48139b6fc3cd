// The program's data on a PostgreSQL database: how the database is chosen,
// a server that cannot be reached, and the jobs and the demo fill working
// on it with nothing in the data folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <vector>

#include "app/data_jobs.h"
#include "app/demo_data.h"
#include "app/invoicing_dictionary.h"
#include "app/storage_choice.h"
#include "runtime/ini/ini_file.h"
#include "runtime/storage/pg_driver.h"
#include "runtime/system/runtime_error.h"
#include "tests/app/numbered_invoice.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/pg_server.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

class PostgresStorageTest : public ::testing::Test {
 protected:
  PostgresStorageTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    unsetenv(kDatabaseVariable);
  }
  ~PostgresStorageTest() override {
    unsetenv(kDatabaseVariable);
    std::filesystem::current_path(previous_);
  }
  void SetUp() override {
    ASSERT_TRUE(testing::SharedPgServer().running()) << testing::SharedPgServer().error();
  }
  // Chooses a fresh data set on the test server.
  std::string UseFreshDatabase() {
    std::string url = testing::SharedPgServer().Url() + "&schema=" + testing::FreshSchema();
    setenv(kDatabaseVariable, url.c_str(), 1);
    return url;
  }
  int Import(const std::string& file, const std::string& csv) {
    std::ofstream(folder.File("in.csv"), std::ios::binary) << csv;
    messages.str("");
    return ImportJob({file, folder.File("in.csv")}, messages);
  }
  std::string Export(const std::string& file) {
    std::ostringstream out;
    messages.str("");
    EXPECT_EQ(ExportJob({file}, out, messages), JobDone) << messages.str();
    return out.str();
  }

  testing::TempFolder folder;
  testing::ScriptedMessages boxes;
  std::ostringstream messages;

 private:
  std::filesystem::path previous_;
};

TEST_F(PostgresStorageTest, TheCommandLineComesBeforeTheEnvironmentBeforeTheSettings) {
  EXPECT_EQ(ChosenDatabase(), "");  // the KDS files
  ASSERT_EQ(runtime::WriteIniValue("ledora.INI", "Storage", "Database", "postgresql:///ini"),
            runtime::IniOk);
  EXPECT_EQ(ChosenDatabase(), "postgresql:///ini");
  setenv(kDatabaseVariable, "postgresql:///environment", 1);
  EXPECT_EQ(ChosenDatabase(), "postgresql:///environment");
  ChooseDatabase("postgresql:///line");
  EXPECT_EQ(ChosenDatabase(), "postgresql:///line");
}

TEST_F(PostgresStorageTest, AServerThatCannotBeReachedIsNamedAndTheJobFails) {
  setenv(kDatabaseVariable, "postgresql:///ledora?host=/no/such/server", 1);
  std::ostringstream out;
  EXPECT_EQ(ExportJob({"CUSTOMER"}, out, messages), JobFailed);
  EXPECT_NE(messages.str().find("/no/such/server"), std::string::npos) << messages.str();
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// A mistyped data set name once became a new, empty data set that exported
// nothing with exit 0; a long one was cut by the server, so two long names
// shared one data set.
TEST_F(PostgresStorageTest, AJobThatOnlyReadsMakesNoDataSetAndNamesAreNeverCut) {
  std::string server = testing::SharedPgServer().Url();
  std::string typo = testing::FreshSchema();
  setenv(kDatabaseVariable, (server + "&schema=" + typo).c_str(), 1);
  std::ostringstream out;
  EXPECT_EQ(ExportJob({"CUSTOMER"}, out, messages), JobFailed);
  EXPECT_NE(messages.str().find("there is no data set " + typo), std::string::npos)
      << messages.str();
  runtime::PgDriver driver;
  EXPECT_EQ(driver.Connect(server, typo, runtime::PgSchemaMustExist), runtime::ErrorFileNotFound);

  std::string longName(64, 'x');
  for (const std::string& refused :
       {longName, std::string("information_schema"), std::string("pg_catalog")}) {
    setenv(kDatabaseVariable, (server + "&schema=" + refused).c_str(), 1);
    EXPECT_EQ(Import("CUSTOMER", "CUS:NAME\nAdams\n"), JobFailed) << refused;
    EXPECT_NE(messages.str().find("the data set name " + refused), std::string::npos)
        << messages.str();
  }
  EXPECT_EQ(driver.Connect(server, longName.substr(0, 63)), 0);
}

TEST_F(PostgresStorageTest, JobsWorkOnTheDatabaseAndLeaveTheFolderAlone) {
  UseFreshDatabase();
  std::string customers =
      "CUS:CUSTOMERID,CUS:NAME,CUS:ADDRESS1,CUS:ADDRESS2,CUS:TELEFON,CUS:TELEFAX\n"
      "1,smith,\"The \"\"Old\"\" Mill\",Zürich,,\n"
      "2,Adams,High St,,,\n"
      "3,BAKER,,,555 1234,fax\n";
  ASSERT_EQ(Import("CUSTOMER", customers), JobDone) << messages.str();
  EXPECT_EQ(Export("CUSTOMER"), customers);
  EXPECT_EQ(Import("CUSTOMER", "CUS:CUSTOMERID,CUS:NAME\n2,Twice\n"), JobFailed);
  std::filesystem::remove(folder.File("in.csv"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST_F(PostgresStorageTest, TheDemoFillGoesIntoTheFourTablesInOneTransaction) {
  UseFreshDatabase();
  testing::HaltRecorder halts;
  data::ErrorReporter errors;
  errors.Initialize();
  std::ostringstream failures;
  std::unique_ptr<runtime::StorageDriver> driver = OpenChosenStorage(failures);
  ASSERT_TRUE(driver) << failures.str();
  ASSERT_TRUE(DictionarySetup(*driver, errors));
  EXPECT_EQ(FillDemoData(82000), DemoFilled);
  EXPECT_EQ(FillDemoData(82000), DemoNotEmpty);
  Access_INVOICES->Open();
  EXPECT_EQ(Access_INVOICES->MakeUsable(), 0);
  EXPECT_EQ(Access_INVOICES->CurrentFile().Records(), 100);
  Access_INVOICES->Close();
  DictionaryShutdown();
  EXPECT_FALSE(halts.halted());
}

TEST_F(PostgresStorageTest, EightStationsNumberingAtOnceLoseAndDuplicateNothing) {
  UseFreshDatabase();
  constexpr int kStations = 8;
  constexpr auto kTime = std::chrono::seconds(30);
  std::vector<pid_t> stations;
  for (int i = 0; i < kStations; ++i) {
    pid_t child = fork();
    if (child == 0) {
      data::ErrorReporter errors;
      errors.Initialize();
      std::unique_ptr<runtime::StorageDriver> driver = OpenChosenStorage(std::cerr);
      if (!driver || !DictionarySetup(*driver, errors)) _exit(2);
      Access_INVOICES->Open();
      Access_INVOICEL->Open();
      auto end = std::chrono::steady_clock::now() + kTime;
      while (std::chrono::steady_clock::now() < end) testing::AddNumberedInvoice();
      Access_INVOICEL->Close();
      Access_INVOICES->Close();
      DictionaryShutdown();
      _exit(0);
    }
    stations.push_back(child);
  }
  for (pid_t child : stations) {
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }

  data::ErrorReporter errors;
  errors.Initialize();
  std::unique_ptr<runtime::StorageDriver> driver = OpenChosenStorage(messages);
  ASSERT_TRUE(driver && DictionarySetup(*driver, errors)) << messages.str();
  std::vector<int32_t> numbers;
  Access_INVOICES->Open();
  ASSERT_EQ(Access_INVOICES->MakeUsable(), 0);
  Access_INVOICES->CurrentFile().Send("QUICKSCAN=on");
  ASSERT_EQ(Access_INVOICES->CurrentFile().SetOrder(0), 0);
  while (Access_INVOICES->NextQuietly() == 0) numbers.push_back(INV.NUMBER);
  Access_INVOICES->Close();
  std::map<int32_t, std::vector<int32_t>> lines;
  Access_INVOICEL->Open();
  ASSERT_EQ(Access_INVOICEL->MakeUsable(), 0);
  Access_INVOICEL->CurrentFile().Send("QUICKSCAN=on");
  ASSERT_EQ(Access_INVOICEL->CurrentFile().SetOrder(0), 0);
  while (Access_INVOICEL->NextQuietly() == 0) lines[INVL.INVOICENR].push_back(INVL.LINENR);
  Access_INVOICEL->Close();
  DictionaryShutdown();

  ASSERT_GT(numbers.size(), 100u);
  for (size_t i = 0; i < numbers.size(); ++i) {
    ASSERT_EQ(numbers[i], static_cast<int32_t>(i + 1)) << "a number lost or given twice";
    ASSERT_EQ(lines[numbers[i]], (std::vector<int32_t>{1, 2, 3})) << "invoice " << numbers[i];
  }
  EXPECT_EQ(lines.size(), numbers.size());
  std::printf("%zu invoices by %d stations\n", numbers.size(), kStations);
}

TEST_F(PostgresStorageTest, RefusedDeletesCountWhatHoldsThemAndLinesMoveTheTotal) {
  UseFreshDatabase();
  ASSERT_EQ(Import("CUSTOMER", "CUS:CUSTOMERID,CUS:NAME\n1,Ann\n2,Bob\n"), JobDone);
  ASSERT_EQ(Import("ITEMS", "ITE:ITEMNR,ITE:DESCRIPTION\n5,Bolt\n6,Nut\n"), JobDone);
  ASSERT_EQ(Import("INVOICES", "INV:NUMBER,INV:CUSTOMERID\n1,1\n2,1\n3,2\n"), JobDone);
  ASSERT_EQ(Import("INVOICEL", "INVL:INVOICENR,INVL:ITEMNR,INVL:PRICE\n1,5,1.00\n2,5,2.00\n"),
            JobDone);
  testing::HaltRecorder halts;
  data::ErrorReporter errors;
  errors.Initialize();
  std::unique_ptr<runtime::StorageDriver> driver = OpenChosenStorage(messages);
  ASSERT_TRUE(driver && DictionarySetup(*driver, errors)) << messages.str();
  for (data::RelationController* file : {Relate_CUSTOMER, Relate_ITEMS, Relate_INVOICEL}) {
    file->Open();
  }
  CUS.CUSTOMERID = 1;
  ASSERT_EQ(Access_CUSTOMER->FetchQuietly(CustomerRecord::IDKEY), 0);
  boxes.Expect("Referential Integrity Delete Error", "Records in Invoices that refer to it: 2.",
               runtime::ButtonOk);
  EXPECT_NE(Relate_CUSTOMER->Delete(false), 0);
  ITE.ITEMNR = 5;
  ASSERT_EQ(Access_ITEMS->FetchQuietly(ItemRecord::ITEMNRKEY), 0);
  boxes.Expect("Referential Integrity Delete Error", "Records in InvoiceLines that refer to it: 2.",
               runtime::ButtonOk);
  EXPECT_NE(Relate_ITEMS->Delete(false), 0);
  ITE.ITEMNR = 6;
  ASSERT_EQ(Access_ITEMS->FetchQuietly(ItemRecord::ITEMNRKEY), 0);
  EXPECT_EQ(Relate_ITEMS->Delete(false), 0);

  Access_INVOICEL->ClearRecord();
  INVL.INVOICENR = 3;
  runtime::SetText(runtime::FieldRef::Packed(INVL.PRICE, 5, 2), "4.25");
  EXPECT_EQ(Relate_INVOICEL->Insert(), 0);
  for (data::RelationController* file : {Relate_INVOICEL, Relate_ITEMS, Relate_CUSTOMER}) {
    file->Close();
  }
  DictionaryShutdown();
  EXPECT_FALSE(halts.halted());
  EXPECT_EQ(Export("CUSTOMER").find("1,Ann") != std::string::npos, true);
  EXPECT_EQ(Export("ITEMS"), "ITE:ITEMNR,ITE:DESCRIPTION,ITE:PRICE\n5,Bolt,0.00\n");
  EXPECT_NE(Export("INVOICES").find("\n3,2,,4.25\n"), std::string::npos);
}

}  // namespace
}  // namespace ledora::app
