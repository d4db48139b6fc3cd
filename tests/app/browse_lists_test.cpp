// The five invoicing lists as windows, driven headless as a user would:
// what each shows, how its tabs sort, and what selecting returns.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/browse_customers.h"
#include "app/browse_invoices.h"
#include "app/browse_items.h"
#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/main_frame.h"
#include "app/program.h"
#include "app/select_customers.h"
#include "app/select_invoice.h"
#include "app/update_customers.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"
#include "runtime/window/headless_presenter.h"
#include "runtime/window/window_registry.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

using framework::LastResponse;
using framework::PendingRequest;
using runtime::ButtonYes;
using runtime::Window;

class BrowseListsTest : public ::testing::Test {
 protected:
  BrowseListsTest() {
    EXPECT_NE(getcwd(previous_, sizeof previous_), nullptr);
    EXPECT_EQ(chdir(folder.path().c_str()), 0);
    GlobalErrors.Initialize();
    EXPECT_TRUE(DictionarySetup(storage, GlobalErrors));
    PendingRequest = 0;
    LastResponse = 0;
    framework::NavigationRequest = 0;
  }
  ~BrowseListsTest() override {
    for (int round = 0; round < 10 && scheduler.HasThreads(); ++round) {
      for (Window* w : runtime::WindowRegistry::Instance().windows()) {
        w->Post(runtime::EventCloseDown);
      }
      driver.Settle();
    }
    DictionaryShutdown();
    GlobalErrors.Shutdown();
    EXPECT_EQ(chdir(previous_), 0);
  }

  int32_t AddCustomer(const char* name, const char* address = "") {
    Relate_CUSTOMER->Open();
    Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(CUS.NAME, name);
    runtime::AssignPadded(CUS.ADDRESS1, address);
    EXPECT_EQ(Access_CUSTOMER->Insert(), 0);
    Relate_CUSTOMER->Close();
    return CUS.CUSTOMERID;
  }
  int32_t AddInvoice(int32_t customer, int32_t date) {
    Relate_INVOICES->Open();
    Access_INVOICES->PrimeRecord();
    INV.CUSTOMERID = customer;
    INV.INVOICEDATE = date;
    EXPECT_EQ(Access_INVOICES->Insert(), 0);
    Relate_INVOICES->Close();
    return INV.NUMBER;
  }
  void LoadCustomer(int32_t id) {
    Relate_CUSTOMER->Open();
    CUS.CUSTOMERID = id;
    EXPECT_EQ(Access_CUSTOMER->Fetch(CustomerRecord::IDKEY), 0);
    Relate_CUSTOMER->Close();
  }

  // Starts a list procedure with a request; the window it opened.
  Window& Start(void (*procedure)(), uint8_t request = framework::RequestNone) {
    PendingRequest = request;
    ended = false;
    driver.Start([this, procedure] {
      procedure();
      ended = true;
    });
    Window* top = driver.Top();
    EXPECT_NE(top, nullptr);
    return *top;
  }
  // The first column of every row the list shows.
  std::vector<std::string> Column(Window& w, size_t column) {
    std::vector<std::string> texts;
    for (const auto& row : w.Find(BrowseList)->rows) texts.push_back(row.at(column));
    return texts;
  }

  testing::TempFolder folder;
  runtime::SqliteDriver storage;
  runtime::Scheduler scheduler;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver{scheduler, presenter};
  testing::ScriptedMessages messages;
  bool ended = false;

 private:
  char previous_[4096] = {};
};

// ------------------------------------------------------- selection lists

TEST_F(BrowseListsTest, SelectCustomersOpensOnTheCallersCustomerAndReturnsTheOneChosen) {
  for (int i = 1; i <= 30; ++i) AddCustomer(("Customer " + std::to_string(i)).c_str());
  LoadCustomer(20);
  Window& w = Start(SelectCustomers, framework::RequestSelect);
  EXPECT_EQ(w.title(), "Select a Customers Record");
  const runtime::Control* list = w.Find(BrowseList);
  ASSERT_GE(w.GetSelection(BrowseList), 1);
  EXPECT_EQ(list->rows[w.GetSelection(BrowseList) - 1][1], "Customer 20");
  EXPECT_TRUE(w.Find(BrowseSelect)->enabled);
  EXPECT_TRUE(w.Find(BrowseSelect)->isDefault);
  EXPECT_EQ(w.Find(BrowseInsert), nullptr);

  std::string chosen = list->rows.at(0)[1];
  EXPECT_NE(chosen, "Customer 20");
  driver.DoubleClickRow(BrowseList, 1);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), chosen);
}

TEST_F(BrowseListsTest, SelectCustomersForANumberWithoutCustomerStillShowsTheCustomers) {
  for (int i = 1; i <= 5; ++i) AddCustomer(("Customer " + std::to_string(i)).c_str());
  LoadCustomer(2);
  CUS.CUSTOMERID = 999;  // typed on the invoice; nobody has it
  runtime::AssignPadded(CUS.NAME, "");
  Window& w = Start(SelectCustomers, framework::RequestSelect);
  EXPECT_EQ(w.Find(BrowseList)->rows.size(), 5u);
  EXPECT_GE(w.GetSelection(BrowseList), 1);
  EXPECT_TRUE(w.Find(BrowseSelect)->enabled);
}

TEST_F(BrowseListsTest, ClosingASelectionListAnswersCancelled) {
  AddCustomer("Adams");
  Window& w = Start(SelectCustomers, framework::RequestSelect);
  driver.Press(w, BrowseClose);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCancelled);
}

// ---------------------------------------------------------------- browses

TEST_F(BrowseListsTest, TheCustomersBrowseShowsItsWindowAsDescribed) {
  AddCustomer("Adams");
  Window& w = Start(BrowseCustomers);
  EXPECT_EQ(w.title(), "Browse the Customers File");
  EXPECT_EQ(w.font().name, "MS Sans Serif");
  EXPECT_TRUE(w.isMdiChild());
  EXPECT_EQ(w.GetText(BrowseFirstTab), "ID number");
  EXPECT_EQ(w.GetText(BrowseFirstTab + 1), "Name and Address");
  const runtime::Control* list = w.Find(BrowseList);
  EXPECT_EQ(list->tip, "Browsing Records");
  ASSERT_EQ(list->format.columns().size(), 6u);
  EXPECT_EQ(list->format.columns()[5].header, "Telefax");
  EXPECT_EQ(list->format.columns()[0].header, "Customer ID \xBB") << "sorted by ID";
  EXPECT_EQ(w.GetText(BrowseInsert), "&Insert");
  EXPECT_EQ(w.GetText(BrowseChange), "&Change");
  EXPECT_EQ(w.GetText(BrowseDelete), "&Delete");
  EXPECT_EQ(w.GetText(BrowseClose), "Close");
  EXPECT_EQ(w.GetText(BrowseHelp), "Help");
  EXPECT_EQ(w.Find(BrowseSelect), nullptr);
  EXPECT_TRUE(w.Find(BrowseChange)->enabled);
  driver.Press(w, BrowseClose);
  EXPECT_TRUE(ended);
  EXPECT_EQ(Access_CUSTOMER->INFO->front().OPENED, 0) << "the browse closed what it opened";
}

TEST_F(BrowseListsTest, TheNameTabSortsByNameAndAddressIgnoringCase) {
  AddCustomer("miller", "2 Oak Street");
  AddCustomer("Adams");
  AddCustomer("MILLER", "1 Oak Street");
  AddCustomer("baker");
  Window& w = Start(BrowseCustomers);
  EXPECT_EQ(Column(w, 1), (std::vector<std::string>{"miller", "Adams", "MILLER", "baker"}));
  driver.ChooseTab(BrowseSheet, 2);
  EXPECT_EQ(Column(w, 1), (std::vector<std::string>{"Adams", "baker", "MILLER", "miller"}));
  EXPECT_EQ(w.Find(BrowseList)->format.columns()[1].header, "Name \xBB");
  EXPECT_EQ(w.Find(BrowseList)->format.columns()[0].header, "Customer ID");
  EXPECT_EQ(w.Find(BrowseList)->rows[w.GetSelection(BrowseList) - 1][1], "miller")
      << "the highlighted customer stays highlighted";
  driver.PressKey(BrowseList, 'B');
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "baker") << "typing locates";
}

TEST_F(BrowseListsTest, TypingFindsWhatIsTypedWithinASecondAndBackspaceShortensIt) {
  for (int i = 1; i <= 45; ++i) AddCustomer(i == 43 ? "Walker" : i == 44 ? "Wallace" : "Zed");
  Window& w = Start(BrowseCustomers);
  driver.PressKey(BrowseList, '4');
  driver.PressKey(BrowseList, '2');
  EXPECT_EQ(CUS.CUSTOMERID, 42);
  EXPECT_EQ(w.statusText(), "Find: 42");
  driver.PressKey(BrowseList, runtime::KeyBackspace);
  EXPECT_EQ(CUS.CUSTOMERID, 4);
  EXPECT_EQ(w.statusText(), "Find: 4");

  driver.ChooseTab(BrowseSheet, 2);
  for (int key : {'W', 'A', 'L'}) driver.PressKey(BrowseList, key);
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "Walker");
  driver.PressKey(BrowseList, 'L');
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "Wallace");
  EXPECT_EQ(w.statusText(), "Find: wall");
  std::this_thread::sleep_for(std::chrono::milliseconds(1100));
  driver.PressKey(BrowseList, 'W');
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "Walker") << "a pause starts afresh";
  EXPECT_EQ(w.statusText(), "Find: w");
}

TEST_F(BrowseListsTest, CustomersAreInsertedChangedAndDeletedThroughTheirForm) {
  AddCustomer("Adams");
  AddCustomer("Miller");
  Window& w = Start(BrowseCustomers);
  driver.Press(w, BrowseInsert);
  ASSERT_EQ(driver.Top()->title(), "Adding a Customers Record");
  driver.Type(CustomerNameEntry, "Baker");
  driver.Press(FormOk);
  ASSERT_EQ(driver.Top(), &w);
  ASSERT_EQ(Column(w, 1), (std::vector<std::string>{"Adams", "Miller", "Baker"}));
  EXPECT_EQ(w.GetSelection(BrowseList), 3) << "the new customer is highlighted";

  driver.PressKey(BrowseList, runtime::KeyEnter);
  ASSERT_EQ(driver.Top()->title(), "Changing a Customers Record");
  driver.Type(CustomerNameEntry, "Baker & Sons");
  driver.Press(FormOk);
  EXPECT_EQ(Column(w, 1), (std::vector<std::string>{"Adams", "Miller", "Baker & Sons"}));
  EXPECT_EQ(w.GetSelection(BrowseList), 3);

  driver.ChooseRow(BrowseList, 1);
  messages.Expect("Confirm Delete", "", ButtonYes);
  driver.PressKey(BrowseList, runtime::KeyDelete);
  EXPECT_EQ(Column(w, 1), (std::vector<std::string>{"Miller", "Baker & Sons"}));
  EXPECT_FALSE(ended);
}

TEST_F(BrowseListsTest, AnEmptyItemsBrowseOffersOnlyInsert) {
  Window& w = Start(BrowseItems);
  EXPECT_EQ(w.title(), "Browse the Items File");
  EXPECT_EQ(w.Find(BrowseList)->rows.size(), 0u);
  EXPECT_TRUE(w.Find(BrowseInsert)->enabled);
  EXPECT_FALSE(w.Find(BrowseChange)->enabled);
  EXPECT_FALSE(w.Find(BrowseDelete)->enabled);
}

TEST_F(BrowseListsTest, InvoicesShowTheirCustomersNameAndSortByDateOnTheSecondTab) {
  int32_t adams = AddCustomer("Adams");
  int32_t baker = AddCustomer("Baker");
  AddInvoice(adams, 80000);
  AddInvoice(baker, 70000);
  AddInvoice(99, 75000);  // a customer that does not exist
  Window& w = Start(BrowseInvoices);
  EXPECT_EQ(w.GetText(BrowseFirstTab), "Invoice numer");
  EXPECT_EQ(Column(w, 2), (std::vector<std::string>{"Adams", "Baker", ""}));
  driver.ChooseTab(BrowseSheet, 2);
  EXPECT_EQ(Column(w, 0), (std::vector<std::string>{"2", "3", "1"}));
  driver.Press(w, BrowseClose);
  EXPECT_TRUE(ended);
  EXPECT_EQ(Access_CUSTOMER->INFO->front().OPENED, 0);
  EXPECT_EQ(Access_INVOICES->INFO->front().OPENED, 0) << "the browse closed what it opened";
}

TEST_F(BrowseListsTest, SelectInvoiceHasOneOrderAndNoRecordButtons) {
  AddInvoice(AddCustomer("Adams"), 80000);
  AddInvoice(1, 70000);
  Window& w = Start(SelectInvoice, framework::RequestSelect);
  EXPECT_EQ(w.title(), "Browse the Invoices File");
  EXPECT_EQ(w.GetText(BrowseFirstTab + 1), "");
  EXPECT_EQ(w.Find(BrowseSelect)->icon, "S_OPEN.ICO");
  EXPECT_EQ(w.Find(BrowseClose)->icon, "S_EXIT.ICO");
  EXPECT_EQ(w.Find(BrowseInsert), nullptr);
  EXPECT_EQ(Column(w, 3), (std::vector<std::string>{"Adams", "Adams"}))
      << "the customers file is read although the caller did not open it";
  driver.ChooseRow(BrowseList, 2);
  driver.Press(w, BrowseSelect);
  EXPECT_TRUE(ended);
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(INV.NUMBER, 2);
}

// ------------------------------------------------------------ the program

TEST_F(BrowseListsTest, TheBrowseMenuOpensTwoCustomerBrowsesAndTheToolbarScrollsTheActiveOne) {
  for (int i = 1; i <= 40; ++i) AddCustomer(("Customer " + std::to_string(i)).c_str());
  DictionaryShutdown();  // the program sets its own up
  bool programEnded = false;
  driver.Start([&] {
    MainProcedure([](MainFrame& frame) { frame.SetSplash(false); });
    programEnded = true;
  });
  Window* frame = runtime::WindowRegistry::Instance().Frame();
  ASSERT_NE(frame, nullptr);
  driver.Press(*frame, MenuBrowseCustomers);
  driver.Press(*frame, MenuBrowseCustomers);
  std::vector<Window*> browses;
  for (Window* w : runtime::WindowRegistry::Instance().windows()) {
    if (w->title() == "Browse the Customers File") browses.push_back(w);
  }
  ASSERT_EQ(browses.size(), 2u);
  EXPECT_NE(browses[0]->thread(), browses[1]->thread()) << "each on a thread of its own";

  driver.Press(*frame, framework::ToolbarBottom);
  auto highlighted = [](Window* w) {
    return w->Find(BrowseList)->rows.at(w->GetSelection(BrowseList) - 1).at(1);
  };
  EXPECT_EQ(highlighted(browses[1]), "Customer 40");
  EXPECT_EQ(highlighted(browses[0]), "Customer 1");
  driver.Press(*frame, framework::ToolbarUp);
  EXPECT_EQ(highlighted(browses[1]), "Customer 39");

  driver.Press(*frame, MenuExit);
  EXPECT_TRUE(programEnded);
}

}  // namespace
}  // namespace ledora::app
