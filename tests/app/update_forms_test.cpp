// The invoicing update forms driven as a user would, over the real invoicing
// files in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/update_customers.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/scheduler.h"
#include "runtime/window/window_registry.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using app::CUS;
using framework::LastResponse;
using framework::PendingRequest;
using runtime::ButtonNo;
using runtime::ButtonYes;

class UpdateFormsTest : public ::testing::Test {
 protected:
  UpdateFormsTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    app::GlobalErrors.Initialize();
    EXPECT_TRUE(app::DictionarySetup(storage, app::GlobalErrors));
    PendingRequest = 0;
    LastResponse = 0;
    framework::NavigationRequest = 0;
    // As the calling browses do: the files stay open while forms come and go.
    for (data::RelationController* relation : Relations()) relation->Open();
  }
  ~UpdateFormsTest() override {
    CloseAll();
    for (data::RelationController* relation : Relations()) relation->Close();
    app::DictionaryShutdown();
    app::GlobalErrors.Shutdown();
    std::filesystem::current_path(previous_);
  }

  static std::vector<data::RelationController*> Relations() {
    return {app::Relate_CUSTOMER, app::Relate_ITEMS, app::Relate_INVOICES, app::Relate_INVOICEL};
  }

  void CloseAll() {
    for (int round = 0; round < 10 && scheduler.HasThreads(); ++round) {
      auto open = runtime::WindowRegistry::Instance().windows();
      for (runtime::Window* window : std::vector<runtime::Window*>(open.rbegin(), open.rend())) {
        window->Post(runtime::EventCloseDown);
      }
      driver.Settle();
    }
  }

  // Runs the procedure on a thread of its own with the request, as a browse
  // calls it; true once it has returned.
  void Start(const std::function<void()>& procedure, uint8_t request) {
    ended = false;
    PendingRequest = request;
    driver.Start([this, procedure] {
      procedure();
      ended = true;
    });
  }

  int32_t AddCustomer(const char* name) {
    app::Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(CUS.NAME, name);
    EXPECT_EQ(app::Access_CUSTOMER->Insert(), 0);
    return CUS.CUSTOMERID;
  }
  // The stored name of the customer, "?" when there is none; the buffer
  // holds the record afterwards.
  std::string CustomerName(int32_t id) {
    CUS.CUSTOMERID = id;
    if (app::Access_CUSTOMER->FetchQuietly(app::CustomerRecord::IDKEY) != 0) return "?";
    return std::string(runtime::ClippedField(CUS.NAME));
  }
  int64_t Count(data::FileManager* file) { return file->CurrentFile().Records(); }

  runtime::Window& Top() {
    runtime::Window* top = driver.Top();
    EXPECT_NE(top, nullptr);
    static runtime::Window none;
    return top != nullptr ? *top : none;
  }

  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  ScriptedMessages messages;
  TempFolder folder;
  runtime::SqliteDriver storage;
  bool ended = false;

 private:
  std::filesystem::path previous_;
};

// ------------------------------------------------------------- customers

TEST_F(UpdateFormsTest, CustomerFormShowsItsWindowAndTitleByRequest) {
  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  runtime::Window& form = Top();
  EXPECT_EQ(form.title(), "Adding a Customers Record");
  EXPECT_EQ(form.font().name, "MS Sans Serif");
  EXPECT_EQ(form.GetText(app::FormTab), "General");
  EXPECT_EQ(form.GetText(app::FormCancel), "Cancel");
  EXPECT_EQ(form.GetText(app::FormHelp), "Help");
  EXPECT_EQ(form.GetText(app::FormPrompt(4)), "Telephone:");
  EXPECT_EQ(form.Find(app::CustomerTelephoneEntry)->tip, "Customer telefon");
  EXPECT_EQ(form.Find(app::CustomerNameEntry)->pictureText, "@s35");
  EXPECT_EQ(form.FocusedControl(), app::CustomerIdEntry);
  driver.Press(form, app::FormCancel);
  EXPECT_TRUE(ended);

  int32_t id = AddCustomer("Adams");
  CustomerName(id);
  Start(app::UpdateCustomers, framework::RequestChange);
  EXPECT_EQ(Top().title(), "Changing a Customers Record");
  EXPECT_EQ(driver.Shown(app::CustomerNameEntry), "Adams");
  driver.Close(Top());
  EXPECT_TRUE(ended);
  EXPECT_TRUE(messages.shown().empty()) << "an unchanged form closes without a question";
}

TEST_F(UpdateFormsTest, CustomerInsertChangeAndDeleteLandInTheFile) {
  uint8_t opened = app::Access_CUSTOMER->INFO->front().OPENED;
  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  driver.Type(app::CustomerNameEntry, "Baker");
  driver.Type(app::CustomerAddress1Entry, "9 Mill Way");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  int32_t id = CUS.CUSTOMERID;
  EXPECT_EQ(id, 1);
  EXPECT_EQ(CustomerName(id), "Baker");
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.ADDRESS1)), "9 Mill Way");

  Start(app::UpdateCustomers, framework::RequestChange);
  driver.Type(app::CustomerNameEntry, "Baker & Sons");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(CustomerName(id), "Baker & Sons");

  messages.Expect("Confirm Delete", "", ButtonYes);
  Start(app::UpdateCustomers, framework::RequestDelete);
  EXPECT_TRUE(ended) << "a delete never opens the form";
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(CustomerName(id), "?");
  EXPECT_EQ(app::Access_CUSTOMER->INFO->front().OPENED, opened)
      << "the forms closed what they opened";
}

TEST_F(UpdateFormsTest, CancellingACustomerFormLosesNothing) {
  int32_t id = AddCustomer("Adams");
  CustomerName(id);
  Start(app::UpdateCustomers, framework::RequestChange);
  driver.Type(app::CustomerNameEntry, "Zed");
  driver.Press(app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_EQ(CustomerName(id), "Adams");

  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  driver.Type(app::CustomerNameEntry, "Never");
  messages.Expect("Save Record", "", ButtonNo);
  driver.Close(Top());
  ASSERT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
  EXPECT_EQ(Count(app::Access_CUSTOMER), 1) << "the number the insert took is given back";
  EXPECT_EQ(CustomerName(id), "Adams");
}

TEST_F(UpdateFormsTest, ADuplicateCustomerNumberKeepsTheInsertFormOpen) {
  AddCustomer("Adams");
  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  driver.Type(app::CustomerIdEntry, "1");
  driver.Type(app::CustomerNameEntry, "Twin");
  messages.Expect("Duplicate Key Error", "ID number", runtime::ButtonOk);
  driver.Press(app::FormOk);
  EXPECT_FALSE(ended);
  EXPECT_EQ(Top().FocusedControl(), app::CustomerIdEntry);
  driver.Type(app::CustomerIdEntry, "7");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(CustomerName(7), "Twin");
  EXPECT_EQ(CustomerName(1), "Adams");
  EXPECT_EQ(Count(app::Access_CUSTOMER), 2);
}

TEST_F(UpdateFormsTest, TheHistoryKeyRecallsTheLastSavedCustomersValues) {
  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  driver.Type(app::CustomerNameEntry, "Carter");
  driver.Type(app::CustomerTelefaxEntry, "555-0100");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);

  app::Access_CUSTOMER->PrimeRecord();
  Start(app::UpdateCustomers, framework::RequestInsert);
  EXPECT_EQ(driver.Shown(app::CustomerTelefaxEntry), "");
  driver.Focus(app::CustomerTelefaxEntry);
  driver.PressKey(app::CustomerTelefaxEntry, runtime::KeyCtrlQuote);
  EXPECT_EQ(driver.Shown(app::CustomerTelefaxEntry), "555-0100");
  EXPECT_EQ(driver.Shown(app::CustomerNameEntry), "") << "only the focused field is recalled";
  driver.Type(app::CustomerNameEntry, "Dunn");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(CustomerName(2), "Dunn");
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.TELEFAX)), "555-0100");
}

}  // namespace
}  // namespace ledora::testing
