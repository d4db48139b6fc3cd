// Many stations on one data set at once, on both engines: stations that save
// invoices through the form and import, a station killed in its insert
// form, and a PostgreSQL server restarted under a running job and an open
// browse. LEDORA_STATIONS_SECONDS sets how long the stations work (default
// 8; scripts/stations.sh runs the full minute).
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/browse_invoices.h"
#include "app/browse_list.h"
#include "app/data_jobs.h"
#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/storage_choice.h"
#include "app/update_invoice_lines.h"
#include "app/update_invoices.h"
#include "data/thread_number.h"
#include "framework/procedure_frame.h"
#include "runtime/system/message_service.h"
#include "runtime/window/event.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "tests/runtime/storage/child_process.h"
#include "tests/stations/station_work.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/pg_server.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

double Seconds() {
  const char* seconds = std::getenv("LEDORA_STATIONS_SECONDS");
  return seconds != nullptr ? std::atof(seconds) : 8;
}

class StationsTest : public ::testing::Test {
 protected:
  StationPlace Folder() { return {folder.path(), ""}; }
  StationPlace Database() {
    EXPECT_TRUE(SharedPgServer().running()) << SharedPgServer().error();
    return {folder.path(), SharedPgServer().Url() + "&schema=" + FreshSchema()};
  }

  // forms form stations and imports import stations work for Seconds().
  void Run(const StationPlace& place, int forms, int imports) {
    ASSERT_TRUE(PrepareStations(place));
    std::vector<StationRole> roles(forms, FormStation);
    roles.insert(roles.end(), imports, ImportStation);
    std::vector<std::string> logs;
    for (size_t i = 0; i < roles.size(); ++i)
      logs.push_back(folder.File("station" + std::to_string(i) + ".log"));
    std::vector<int> codes = RunStations(place, roles, Seconds(), logs);
    StationsOutcome outcome = CheckStations(place, logs);
    for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(codes[i], 0) << "station " << i;
    for (size_t i = 0; i < outcome.faults.size() && i < 20; ++i) ADD_FAILURE() << outcome.faults[i];
    EXPECT_GT(outcome.saved, forms);
    EXPECT_GT(outcome.imported, imports);
    std::printf(
        "%d stations, %.0f s: %ld invoices saved (%.1f/s), %ld imported, %ld deleted, %ld kept\n",
        forms + imports, Seconds(), outcome.saved, outcome.saved / Seconds(), outcome.imported,
        outcome.deleted, outcome.invoices);
  }

  TempFolder folder;
};

TEST_F(StationsTest, SixteenStationsOnPostgresNeitherRefuseNorLoseAnything) {
  Run(Database(), 12, 4);
}

TEST_F(StationsTest, EightStationsOnOneFolderNeitherRefuseNorLoseAnything) { Run(Folder(), 6, 2); }

// ------------------------------------------------ a station that dies

// Counts the invoices as a station starting there finds them (its opening
// takes back what dead stations left).
long InvoicesAtStart(const StationPlace& place) {
  long count = -1;
  ChildProcess station([&](const std::function<void()>&) {
    std::filesystem::current_path(place.folder);
    if (!place.url.empty()) setenv(app::kDatabaseVariable, place.url.c_str(), 1);
    data::ErrorReporter errors;
    errors.Initialize();
    auto storage = app::OpenChosenStorage(std::cerr);
    if (!storage || !app::DictionarySetup(*storage, errors)) return 255;
    app::Access_INVOICES->Open();
    long found = app::Access_INVOICES->MakeUsable() == 0
                     ? static_cast<long>(app::Access_INVOICES->CurrentFile().Records())
                     : 254;
    app::Access_INVOICES->Close();
    app::DictionaryShutdown();
    return static_cast<int>(std::min(found, 253L));
  });
  count = station.Wait();
  return count;
}

// A station whose insert form holds a reserved number (with `lines` lines
// typed) until it is killed.
void KillInInsertForm(const StationPlace& place, int lines) {
  ChildProcess station([&](const std::function<void()>& ready) {
    std::filesystem::current_path(place.folder);
    if (!place.url.empty()) setenv(app::kDatabaseVariable, place.url.c_str(), 1);
    data::SetThreadNumberSource(nullptr);
    app::GlobalErrors.Initialize();
    auto storage = app::OpenChosenStorage(std::cerr);
    if (!storage || !app::DictionarySetup(*storage, app::GlobalErrors)) return 1;
    runtime::Scheduler scheduler;
    runtime::HeadlessPresenter presenter;
    runtime::HeadlessDriver driver(scheduler, presenter);
    app::Relate_INVOICES->Open();
    if (app::Access_INVOICES->PrimeRecord() != 0) return 3;
    framework::PendingRequest = framework::RequestInsert;
    driver.Start(app::UpdateInvoices);
    runtime::Window* form = driver.Top();
    if (form == nullptr) return 2;
    for (int i = 0; i < lines; ++i) {
      driver.Press(*form, app::InvoiceLineInsert);
      driver.Type(app::LineItemNrEntry, "1");  // a line needs an item that exists
      driver.Type(app::LineQuantityEntry, "2");
      driver.Press(app::FormOk);
    }
    ready();
    pause();
    return 0;
  });
  ASSERT_TRUE(station.WaitReady());
  station.Kill();
}

void NoBlankInvoiceAfterAKill(const StationPlace& place) {
  ASSERT_TRUE(PrepareStations(place));
  KillInInsertForm(place, 0);
  // The server lets the dead station's locks go once it has seen it die.
  long invoices = InvoicesAtStart(place);
  for (int i = 0; i < 50 && invoices != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    invoices = InvoicesAtStart(place);
  }
  EXPECT_EQ(invoices, 0);
  KillInInsertForm(place, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(InvoicesAtStart(place), 1) << "an invoice with lines keeps them";
}

TEST_F(StationsTest, AStationKilledInItsInsertFormLeavesNoBlankInvoiceInTheFolder) {
  NoBlankInvoiceAfterAKill(Folder());
}

TEST_F(StationsTest, AStationKilledInItsInsertFormLeavesNoBlankInvoiceOnPostgres) {
  NoBlankInvoiceAfterAKill(Database());
}

// ------------------------------------------------ a server restarted

class RestartTest : public StationsTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running()) << server.error();
    place = {folder.path(), server.Url() + "&schema=restart"};
    ASSERT_TRUE(PrepareStations(place));
  }
  long Invoices() {
    StationsOutcome outcome = CheckStations(place, {});
    return outcome.faults.empty() ? outcome.invoices : -1;
  }

  PgServer server;  // its own, for the restart
  StationPlace place;
};

TEST_F(RestartTest, AnImportCutOffByARestartFailsSayingSoAndKeepsNothingHalf) {
  std::string csv = "INV:NUMBER,INV:CUSTOMERID\n";
  for (int i = 0; i < 4000; ++i) csv += ",1\n";
  std::ofstream(folder.File("in.csv")) << csv;
  std::string said = folder.File("said.txt");
  ChildProcess job([&](const std::function<void()>& ready) {
    setenv(app::kDatabaseVariable, place.url.c_str(), 1);
    std::ostringstream messages;
    ready();
    int code = app::ImportJob({"INVOICES", folder.File("in.csv")}, messages);
    std::ofstream(said) << messages.str();
    return code;
  });
  ASSERT_TRUE(job.WaitReady());
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_EQ(server.Restart(), "");
  int code = job.Wait();
  std::ifstream in(said);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  long invoices = Invoices();
  std::printf("the import %s: %s\n", code == app::JobDone ? "completed" : "failed", text.c_str());
  if (code == app::JobDone) {
    EXPECT_EQ(invoices, 4000) << text;
  } else {
    EXPECT_EQ(code, app::JobFailed);
    EXPECT_NE(text.find("connection to the PostgreSQL server was lost"), std::string::npos) << text;
    EXPECT_EQ(invoices, 0) << "nothing half imported";
  }
}

// Boxes a user would see; every one is answered as nobody would.
class SeenMessages : public runtime::MessageService {
 public:
  uint32_t Show(const runtime::MessageRequest& request) override {
    seen.push_back(request.caption + ": " + request.text);
    return runtime::UnattendedAnswer(request);
  }
  std::vector<std::string> seen;
};

TEST_F(RestartTest, AnOpenBrowseGoesOnAfterARestart) {
  setenv(app::kDatabaseVariable, place.url.c_str(), 1);
  SeenMessages boxes;
  runtime::SetMessageService(&boxes);
  HaltRecorder halts;
  data::SetThreadNumberSource(nullptr);
  app::GlobalErrors.Initialize();
  auto storage = app::OpenChosenStorage(std::cerr);
  ASSERT_TRUE(storage && app::DictionarySetup(*storage, app::GlobalErrors));
  {
    runtime::Scheduler scheduler;
    runtime::HeadlessPresenter presenter;
    runtime::HeadlessDriver driver(scheduler, presenter);
    driver.Start(app::BrowseInvoices);
    runtime::Window* browse = driver.Top();
    ASSERT_NE(browse, nullptr);
    ASSERT_EQ(server.Restart(), "");
    // The first read after the restart may say that the connection was lost;
    // the next one connects again.
    driver.PressKey(app::BrowseList, runtime::KeyCtrlHome);
    driver.PressKey(app::BrowseList, runtime::KeyCtrlHome);
    driver.Press(*browse, app::BrowseInsert);
    runtime::Window* form = driver.Top();
    ASSERT_NE(form, browse) << "the insert form did not open";
    driver.Type(*form, app::InvoiceCustomerEntry, "1");
    driver.Press(*form, app::FormOk);
    EXPECT_EQ(driver.Top(), browse);
    EXPECT_EQ(driver.RowCount(app::BrowseList), 1);
    driver.Press(*browse, app::BrowseClose);
  }
  app::DictionaryShutdown();
  app::GlobalErrors.Shutdown();
  runtime::SetMessageService(nullptr);
  unsetenv(app::kDatabaseVariable);
  for (const std::string& text : boxes.seen) std::printf("after the restart: %s\n", text.c_str());
  EXPECT_LE(boxes.seen.size(), 1u);
  for (const std::string& text : boxes.seen) {
    EXPECT_NE(text.find("connection to the PostgreSQL server was lost"), std::string::npos) << text;
  }
  EXPECT_FALSE(halts.halted());
  EXPECT_EQ(Invoices(), 1);
}

}  // namespace
}  // namespace ledora::testing
