// The invoicing update forms driven as a user would, over the real invoicing
// files in a fresh folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/program.h"
#include "app/update_customers.h"
#include "app/update_invoice_lines.h"
#include "app/update_invoices.h"
#include "app/update_items.h"
#include "data/thread_number.h"
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
using app::INV;
using app::INVL;
using app::ITE;
using framework::LastResponse;
using framework::PendingRequest;
using runtime::ButtonNo;
using runtime::ButtonYes;

// Numbers show right-aligned in their picture's width.
std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

class UpdateFormsTest : public ::testing::Test {
 protected:
  UpdateFormsTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    // The test loads records for the forms as their browse would on its own
    // thread: every procedure here counts as the one thread.
    data::SetThreadNumberSource(nullptr);
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
  messages.Expect("Save Record", "", ButtonNo);
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

// ----------------------------------------------------------------- items

TEST_F(UpdateFormsTest, ItemFormStoresDescriptionAndPrice) {
  app::Access_ITEMS->PrimeRecord();
  Start(app::UpdateItems, framework::RequestInsert);
  EXPECT_EQ(Top().title(), "Adding a Items Record");
  EXPECT_EQ(Top().GetText(app::FormPrompt(2)), "Price:");
  EXPECT_EQ(Top().Find(app::ItemDescriptionEntry)->tip, "Item description");
  driver.Type(app::ItemDescriptionEntry, "Hammer");
  driver.Type(app::ItemPriceEntry, "12.5");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  int32_t item = ITE.ITEMNR;

  ITE = {};
  ITE.ITEMNR = item;
  ASSERT_EQ(app::Access_ITEMS->FetchQuietly(app::ItemRecord::ITEMNRKEY), 0);
  Start(app::UpdateItems, framework::RequestChange);
  EXPECT_EQ(Top().title(), "Changing a Items Record");
  EXPECT_EQ(driver.Shown(app::ItemDescriptionEntry), "Hammer");
  EXPECT_EQ(Trim(driver.Shown(app::ItemPriceEntry)), "12.50");
  driver.Type(app::ItemPriceEntry, "-3.25");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  ITE = {};
  ITE.ITEMNR = item;
  ASSERT_EQ(app::Access_ITEMS->FetchQuietly(app::ItemRecord::ITEMNRKEY), 0);
  EXPECT_EQ(runtime::GetText(runtime::FieldRef::Packed(ITE.PRICE, 5, 2)), "-3.25");
}

// --------------------------------------------------------- invoice lines

TEST_F(UpdateFormsTest, InvoiceLinesAreNumberedWithinTheirInvoice) {
  app::Access_ITEMS->PrimeRecord();
  ASSERT_EQ(app::Access_ITEMS->Insert(), 0);
  std::vector<int32_t> numbers;
  for (int32_t invoice : {7, 7, 8, 7, 8}) {
    INVL = {};
    INVL.INVOICENR = invoice;
    app::Access_INVOICEL->PrimeRecord(true);
    Start(app::UpdateInvoiceLines, framework::RequestInsert);
    EXPECT_EQ(Top().title(), "Adding a InvoiceLines Record");
    driver.Type(app::LineItemNrEntry, "1");
    driver.Type(app::LineQuantityEntry, "2");
    driver.Press(app::FormOk);
    EXPECT_TRUE(ended);
    numbers.push_back(INVL.LINENR);
  }
  EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2, 1, 3, 2}));
  EXPECT_EQ(Count(app::Access_INVOICEL), 5);
}

TEST_F(UpdateFormsTest, ALineNumberTakenInItsInvoiceIsRefusedAndTheFormStays) {
  app::Access_ITEMS->PrimeRecord();
  ASSERT_EQ(app::Access_ITEMS->Insert(), 0);
  INVL = {};
  INVL.INVOICENR = 4;
  app::Access_INVOICEL->PrimeRecord(true);
  ASSERT_EQ(app::Access_INVOICEL->Insert(), 0);
  INVL = {};
  INVL.INVOICENR = 4;
  app::Access_INVOICEL->PrimeRecord(true);
  Start(app::UpdateInvoiceLines, framework::RequestInsert);
  EXPECT_EQ(Trim(driver.Shown(app::LineNrEntry)), "2");
  driver.Type(app::LineItemNrEntry, "1");
  driver.Type(app::LineNrEntry, "1");
  messages.Expect("Duplicate Key Error", "Invoice line number", runtime::ButtonOk);
  driver.Press(app::FormOk);
  EXPECT_FALSE(ended);
  messages.Expect("Save Record", "", ButtonNo);
  driver.Press(app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(Count(app::Access_INVOICEL), 1) << "the number the form held is given back";
}

// -------------------------------------------------------------- invoices

// Stands in for the customers' selection list: a window highlighting the
// customer `choice`, which its one button chooses; closing it cancels.
class SelectStandIn {
 public:
  static constexpr int32_t kSelect = 1;
  SelectStandIn() {
    window.SetTitle("Select a Customers Record");
    window.CreateControl(kSelect, runtime::ControlButton);
  }
  void Run() {
    ++calls;
    request = PendingRequest;
    PendingRequest = 0;
    startedAt = CUS.CUSTOMERID;
    uint8_t response = framework::ResponseCancelled;
    // As a list does, the buffer holds the highlighted customer also when
    // the user cancels.
    CUS.CUSTOMERID = choice;
    (void)app::Access_CUSTOMER->FetchQuietly(app::CustomerRecord::IDKEY);  // none: left as set
    window.Open();
    runtime::Event e;
    while (window.Accept(&e)) {
      if (e.number != runtime::EventAccepted || e.control != kSelect) continue;
      response = framework::ResponseCompleted;
      window.Close();
    }
    LastResponse = response;
  }

  runtime::Window window;
  int32_t choice = 0;
  int calls = 0;
  uint8_t request = 0;
  int32_t startedAt = 0;
};

class InvoiceForm : public app::UpdateInvoicesForm {
 public:
  explicit InvoiceForm(SelectStandIn& select) : select_(select) {}
  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override {
    if (procedure != app::CallSelectCustomers) {
      return UpdateInvoicesForm::CallUpdateProcedure(procedure, request);
    }
    PendingRequest = request;
    select_.Run();
    return LastResponse;
  }

 private:
  SelectStandIn& select_;
};

class UpdateInvoicesTest : public UpdateFormsTest {
 protected:
  UpdateInvoicesTest() {
    AddCustomer("Adams");
    AddCustomer("Baker");
  }
  void StartInvoice(uint8_t request) {
    Start(
        [this] {
          InvoiceForm form(select);
          LastResponse = form.Run();
        },
        request);
  }
  int32_t StoredCustomerOf(int32_t invoice) {
    INV.NUMBER = invoice;
    if (app::Access_INVOICES->FetchQuietly(app::InvoiceRecord::NUMBERKEY) != 0) return -1;
    return INV.CUSTOMERID;
  }

  SelectStandIn select;
};

TEST_F(UpdateInvoicesTest, ATypedCustomerIsLookedUpAndItsNameShown) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  EXPECT_EQ(form.title(), "Adding a Invoices Record");
  EXPECT_EQ(form.Find(app::InvoiceLookupButton)->icon, "pilned.ico");
  EXPECT_EQ(form.Find(app::InvoiceCustomerEntry)->tip, "Customer ID number");
  driver.Type(form, app::InvoiceCustomerEntry, "2");
  EXPECT_EQ(select.calls, 0);
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "Baker");
  driver.Press(form, app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(select.calls, 0) << "the customer was found again when the form was saved";
  EXPECT_EQ(LastResponse, framework::ResponseCompleted);
  EXPECT_EQ(StoredCustomerOf(INV.NUMBER), 2);
}

// Tab follows the window's order of controls: the look-up button and the
// lines list must come before OK, Cancel and Help, not after them.
TEST_F(UpdateInvoicesTest, TabReachesTheLookUpAndTheLinesBeforeTheButtons) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  std::vector<int32_t> order;
  for (const auto& control : Top().controls()) order.push_back(control->number);
  auto at = [&](int32_t number) { return std::find(order.begin(), order.end(), number); };
  ASSERT_NE(at(app::FormOk), order.end());
  EXPECT_LT(at(app::InvoiceCustomerEntry), at(app::InvoiceLookupButton));
  EXPECT_LT(at(app::InvoiceLookupButton), at(app::FormOk));
  EXPECT_LT(at(app::InvoiceLinesList), at(app::FormOk));
  EXPECT_LT(at(app::FormOk), at(app::FormCancel));
  EXPECT_LT(at(app::FormCancel), at(app::FormHelp));
  EXPECT_EQ(at(app::FormHelp) + 1, order.end());
  EXPECT_EQ(Top().GetRect(app::FormOk).y, Top().GetRect(app::FormHelp).y);
  driver.Press(Top(), app::FormCancel);
}

TEST_F(UpdateInvoicesTest, AnUnknownCustomerOpensTheSelectionAndCancellingKeepsTheNumber) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  select.choice = 1;
  driver.Type(form, app::InvoiceCustomerEntry, "9");
  ASSERT_EQ(select.calls, 1);
  EXPECT_EQ(select.request, framework::RequestSelect);
  EXPECT_EQ(driver.Top(), &select.window);
  driver.Close(select.window);
  EXPECT_EQ(INV.CUSTOMERID, 9);
  EXPECT_EQ(Trim(form.GetText(app::InvoiceCustomerEntry)), "9");
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "")
      << "no name of another customer beside the typed number";
  messages.Expect("Save Record", "", ButtonNo);
  driver.Press(form, app::FormCancel);
  EXPECT_TRUE(ended);
}

TEST_F(UpdateInvoicesTest, ChoosingACustomerFillsTheNumberAndTheName) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  select.choice = 1;
  driver.Type(form, app::InvoiceCustomerEntry, "5");
  driver.Press(select.window, SelectStandIn::kSelect);
  EXPECT_EQ(Trim(form.GetText(app::InvoiceCustomerEntry)), "1");
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "Adams");

  select.choice = 2;
  driver.Press(form, app::InvoiceLookupButton);
  ASSERT_EQ(select.calls, 2);
  EXPECT_EQ(select.startedAt, 1) << "the list starts at the invoice's customer";
  driver.Press(select.window, SelectStandIn::kSelect);
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "Baker");
  driver.Press(form, app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(StoredCustomerOf(INV.NUMBER), 2);
}

TEST_F(UpdateInvoicesTest, AChangeFormShowsTheInvoicesCustomerWhenItOpens) {
  app::Access_INVOICES->PrimeRecord();
  INV.CUSTOMERID = 1;
  ASSERT_EQ(app::Access_INVOICES->Insert(), 0);
  int32_t invoice = INV.NUMBER;
  CUS = {};
  StartInvoice(framework::RequestChange);
  EXPECT_EQ(Top().title(), "Changing a Invoices Record");
  EXPECT_EQ(driver.Shown(app::InvoiceCustomerName), "Adams");
  driver.Type(app::InvoiceCustomerEntry, "2");
  driver.Press(app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(StoredCustomerOf(invoice), 2);
}

TEST_F(UpdateInvoicesTest, TheCustomersSelectionListFillsInTheChosenCustomer) {
  app::Access_INVOICES->PrimeRecord();
  Start(app::UpdateInvoices, framework::RequestInsert);
  runtime::Window& form = Top();
  driver.Type(form, app::InvoiceCustomerEntry, "8");
  runtime::Window& list = Top();
  ASSERT_EQ(list.title(), "Select a Customers Record");
  ASSERT_EQ(driver.RowCount(app::BrowseList), 2);
  driver.DoubleClickRow(app::BrowseList, 2);
  EXPECT_EQ(driver.Top(), &form);
  EXPECT_EQ(Trim(form.GetText(app::InvoiceCustomerEntry)), "2");
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "Baker");

  driver.Press(form, app::InvoiceLookupButton);
  ASSERT_EQ(Top().title(), "Select a Customers Record");
  driver.Press(Top(), app::BrowseClose);
  EXPECT_EQ(form.GetText(app::InvoiceCustomerName), "Baker") << "cancelling changes nothing";
  driver.Press(form, app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(StoredCustomerOf(INV.NUMBER), 2);
}

// ---------------------------------------------------- the invoice's lines

class InvoiceLinesTest : public UpdateInvoicesTest {
 protected:
  InvoiceLinesTest() {
    for (const char* description : {"Hammer", "Nails"}) {
      app::Access_ITEMS->PrimeRecord();
      runtime::AssignPadded(ITE.DESCRIPTION, description);
      EXPECT_EQ(app::Access_ITEMS->Insert(), 0);
    }
  }
  int32_t AddInvoice(int32_t customer) {
    app::Access_INVOICES->PrimeRecord();
    INV.CUSTOMERID = customer;
    EXPECT_EQ(app::Access_INVOICES->Insert(), 0);
    return INV.NUMBER;
  }
  // Opens the change form of the invoice.
  runtime::Window& OpenInvoice(int32_t invoice) {
    INV.NUMBER = invoice;
    EXPECT_EQ(app::Access_INVOICES->FetchQuietly(app::InvoiceRecord::NUMBERKEY), 0);
    StartInvoice(framework::RequestChange);
    return Top();
  }
  // Inserts a line through the list's Insert button; answers its number as
  // the line form showed it.
  std::string InsertLine(runtime::Window& form, const char* item, const char* quantity,
                         const char* price = nullptr) {
    driver.Press(form, app::InvoiceLineInsert);
    runtime::Window& line = Top();
    EXPECT_EQ(line.title(), "Adding a InvoiceLines Record");
    std::string number = Trim(line.GetText(app::LineNrEntry));
    driver.Type(line, app::LineItemNrEntry, item);
    driver.Type(line, app::LineQuantityEntry, quantity);
    if (price != nullptr) driver.Type(line, app::LinePriceEntry, price);
    driver.Press(line, app::FormOk);
    EXPECT_EQ(driver.Top(), &form);
    return number;
  }
  std::vector<std::string> Row(int32_t row) {
    std::vector<std::string> cells;
    for (const std::string& cell : driver.ShownRow(app::InvoiceLinesList, row)) {
      cells.push_back(Trim(cell));
    }
    return cells;
  }
  // The invoice's stored total; the buffer, which an open form shows, stays.
  std::string StoredSales(int32_t invoice) {
    app::InvoiceRecord kept = INV;
    INV.NUMBER = invoice;
    std::string sales = "?";
    if (app::Access_INVOICES->FetchQuietly(app::InvoiceRecord::NUMBERKEY) == 0) {
      sales = runtime::GetText(runtime::FieldRef::Packed(INV.SALES, 5, 2));
    }
    INV = kept;
    return sales;
  }
  std::string ShownSales(runtime::Window& form) {
    return Trim(form.GetText(app::InvoiceSalesEntry));
  }
  int64_t LinesOf(int32_t invoice) {
    int64_t count = 0;
    INVL.INVOICENR = invoice;
    INVL.LINENR = 0;
    if (app::Access_INVOICEL->SetOnKey(app::InvoiceLineRecord::LINENRKEY) != 0) return -1;
    while (app::Access_INVOICEL->NextQuietly() == 0 && INVL.INVOICENR == invoice) ++count;
    return count;
  }
};

TEST_F(InvoiceLinesTest, LinesInsertedFromTheListAreNumberedWithinTheirInvoice) {
  int32_t first = AddInvoice(1);
  int32_t second = AddInvoice(2);
  runtime::Window& form = OpenInvoice(first);
  EXPECT_EQ(driver.RowCount(app::InvoiceLinesList), 0);
  EXPECT_EQ(InsertLine(form, "1", "3"), "1");
  EXPECT_EQ(InsertLine(form, "2", "100"), "2");
  driver.Press(form, app::InvoiceLineInsert);
  driver.Press(Top(), app::FormCancel);
  EXPECT_EQ(driver.Top(), &form);
  EXPECT_EQ(InsertLine(form, "1", "1"), "3") << "a cancelled line gave its number back";
  ASSERT_EQ(driver.RowCount(app::InvoiceLinesList), 3);
  EXPECT_EQ(Row(2), (std::vector<std::string>{"2", "2", "Nails", "100", "0.00"}));
  messages.Expect("Save Record", "Save the invoice with its 3 new lines?", ButtonYes);
  driver.Press(form, app::FormCancel);
  ASSERT_TRUE(ended);

  runtime::Window& other = OpenInvoice(second);
  EXPECT_EQ(driver.RowCount(app::InvoiceLinesList), 0) << "only the invoice's own lines";
  EXPECT_EQ(InsertLine(other, "2", "5"), "1");
  messages.Expect("Save Record", "Save the invoice with its new line?", ButtonYes);
  driver.Press(other, app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LinesOf(first), 3);
  EXPECT_EQ(LinesOf(second), 1);
}

TEST_F(InvoiceLinesTest, EachLineShowsItsItemsDescriptionAndNoneForAMissingItem) {
  int32_t invoice = AddInvoice(1);
  for (int32_t item : {2, 9, 1}) {
    INVL = {};
    INVL.INVOICENR = invoice;
    app::Access_INVOICEL->PrimeRecord(true);
    INVL.ITEMNR = item;
    ASSERT_EQ(app::Access_INVOICEL->Insert(), 0);
  }
  OpenInvoice(invoice);
  ASSERT_EQ(driver.RowCount(app::InvoiceLinesList), 3);
  EXPECT_EQ(Row(1)[2], "Nails");
  EXPECT_EQ(Row(2)[1], "9");
  EXPECT_EQ(Row(2)[2], "") << "no item 9";
  EXPECT_EQ(Row(3)[2], "Hammer");
}

TEST_F(InvoiceLinesTest, ChangingAndDeletingALineGoThroughTheLineForm) {
  int32_t invoice = AddInvoice(1);
  runtime::Window& form = OpenInvoice(invoice);
  InsertLine(form, "1", "3");
  InsertLine(form, "2", "4");
  driver.ChooseRow(app::InvoiceLinesList, 2);
  driver.Press(form, app::InvoiceLineChange);
  runtime::Window& line = Top();
  EXPECT_EQ(line.title(), "Changing a InvoiceLines Record");
  EXPECT_EQ(Trim(line.GetText(app::LineQuantityEntry)), "4");
  driver.Type(line, app::LineQuantityEntry, "40");
  driver.Press(line, app::FormOk);
  EXPECT_EQ(Row(2)[3], "40");

  driver.ChooseRow(app::InvoiceLinesList, 1);
  messages.Expect("Confirm Delete", "", ButtonYes);
  driver.Press(form, app::InvoiceLineDelete);
  ASSERT_EQ(driver.RowCount(app::InvoiceLinesList), 1);
  EXPECT_EQ(Row(1)[0], "2");
  messages.Expect("Save Record", "its new line?", ButtonYes);
  driver.Press(form, app::FormCancel);
  EXPECT_EQ(LinesOf(invoice), 1);
}

TEST_F(InvoiceLinesTest, CancellingANewInvoiceTakesItsLinesAlong) {
  app::Access_INVOICES->PrimeRecord();
  int32_t number = INV.NUMBER;
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  driver.Type(form, app::InvoiceCustomerEntry, "1");
  InsertLine(form, "1", "3");
  InsertLine(form, "2", "4");
  EXPECT_EQ(LinesOf(number), 2);
  messages.Expect("Save Record", "Save the invoice with its 2 new lines?", ButtonNo);
  driver.Press(form, app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LinesOf(number), 0);
  EXPECT_EQ(Count(app::Access_INVOICES), 0);

  app::Access_INVOICES->PrimeRecord();
  EXPECT_EQ(INV.NUMBER, number) << "the number is free again";
  StartInvoice(framework::RequestInsert);
  EXPECT_EQ(driver.RowCount(app::InvoiceLinesList), 0) << "the next invoice starts empty";
}

// A priming add that failed (another station took the number, or the user
// answered No to "Auto Increment Error") reserves nothing and leaves the
// taken number in the buffer: cancelling must not touch that invoice.
TEST_F(InvoiceLinesTest, CancellingAnInsertThatReservedNoNumberDeletesNoLines) {
  int32_t taken = AddInvoice(1);
  runtime::Window& form = OpenInvoice(taken);
  InsertLine(form, "1", "3");
  InsertLine(form, "2", "4");
  messages.Expect("Save Record", "2 new lines", ButtonYes);
  driver.Press(form, app::FormCancel);
  ASSERT_TRUE(ended);

  INV.NUMBER = taken;
  StartInvoice(framework::RequestInsert);
  driver.Press(Top(), app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LinesOf(taken), 2);
  EXPECT_EQ(Count(app::Access_INVOICES), 1);
}

// ------------------------------------------------------- invoice totals

TEST_F(InvoiceLinesTest, ANewInvoiceShowsAndStoresTheSumOfItsLines) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  EXPECT_TRUE(form.Find(app::InvoiceSalesEntry)->readOnly);
  driver.Type(form, app::InvoiceCustomerEntry, "1");
  InsertLine(form, "1", "3", "7.50");
  EXPECT_EQ(ShownSales(form), "7.50");
  InsertLine(form, "2", "4", "5.25");
  EXPECT_EQ(ShownSales(form), "12.75");
  driver.Press(form, app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(StoredSales(INV.NUMBER), "12.75");
}

TEST_F(InvoiceLinesTest, ChangingOrDeletingALineStoresTheNewTotalAtOnce) {
  int32_t invoice = AddInvoice(1);
  runtime::Window& form = OpenInvoice(invoice);
  InsertLine(form, "1", "1", "10.00");
  InsertLine(form, "2", "1", "2.50");
  EXPECT_EQ(StoredSales(invoice), "12.50") << "stored with the line, before the invoice's OK";
  driver.ChooseRow(app::InvoiceLinesList, 2);
  driver.Press(form, app::InvoiceLineChange);
  driver.Type(Top(), app::LinePriceEntry, "4.75");
  driver.Press(Top(), app::FormOk);
  EXPECT_EQ(ShownSales(form), "14.75");
  EXPECT_EQ(StoredSales(invoice), "14.75");

  driver.ChooseRow(app::InvoiceLinesList, 1);
  messages.Expect("Confirm Delete", "", ButtonYes);
  driver.Press(form, app::InvoiceLineDelete);
  EXPECT_EQ(ShownSales(form), "4.75");
  EXPECT_EQ(StoredSales(invoice), "4.75");
  driver.Press(form, app::FormOk);
  ASSERT_TRUE(ended);
  EXPECT_EQ(StoredSales(invoice), "4.75") << "the form saved the total it showed";
}

// ------------------------------------------------------- the line's item

TEST_F(InvoiceLinesTest, ALinePricesQuantityTimesItsItemsPriceAndTakesADiscount) {
  ITE.ITEMNR = 1;
  ASSERT_EQ(app::Access_ITEMS->FetchQuietly(app::ItemRecord::ITEMNRKEY), 0);
  runtime::SetText(runtime::FieldRef::Packed(ITE.PRICE, 5, 2), "2.50");
  ASSERT_EQ(app::Access_ITEMS->Update(data::UpdateQuiet), 0);
  int32_t invoice = AddInvoice(1);
  runtime::Window& form = OpenInvoice(invoice);
  driver.Press(form, app::InvoiceLineInsert);
  runtime::Window& line = Top();
  driver.Type(line, app::LineItemNrEntry, "1");
  EXPECT_EQ(line.GetText(app::LineItemDescription), "Hammer");
  driver.Type(line, app::LineQuantityEntry, "3");
  EXPECT_EQ(Trim(line.GetText(app::LinePriceEntry)), "7.50");
  driver.Type(line, app::LinePriceEntry, "7.00");
  driver.Press(line, app::FormOk);
  EXPECT_EQ(ShownSales(form), "7.00") << "the discount the user typed";

  driver.Press(form, app::InvoiceLineChange);
  EXPECT_EQ(Trim(Top().GetText(app::LinePriceEntry)), "7.00") << "opening keeps the price";
  EXPECT_EQ(Top().GetText(app::LineItemDescription), "Hammer");
  driver.Type(Top(), app::LineQuantityEntry, "4");
  EXPECT_EQ(Trim(Top().GetText(app::LinePriceEntry)), "10.00");
  driver.Press(Top(), app::FormOk);
  EXPECT_EQ(Row(1)[4], "10.00");
  EXPECT_EQ(ShownSales(form), "10.00");
  EXPECT_EQ(StoredSales(invoice), "10.00");
  driver.Press(form, app::FormOk);
  EXPECT_TRUE(ended);
}

TEST_F(InvoiceLinesTest, AnUnknownItemOpensTheItemsListAndNoLineIsSavedWithoutAnItem) {
  int32_t invoice = AddInvoice(1);
  runtime::Window& form = OpenInvoice(invoice);
  driver.Press(form, app::InvoiceLineInsert);
  runtime::Window& line = Top();
  driver.Type(line, app::LineItemNrEntry, "999");
  ASSERT_EQ(Top().title(), "Select a Items Record");
  driver.Press(Top(), app::BrowseClose);
  EXPECT_EQ(driver.Top(), &line);
  EXPECT_EQ(line.GetText(app::LineItemDescription), "");
  messages.Expect("Field contents error", "The value of Item Nr must be found in the Items file.",
                  runtime::ButtonOk);
  driver.Press(line, app::FormOk);
  EXPECT_EQ(driver.Top(), &line) << "the form stays for another item";
  EXPECT_EQ(line.FocusedControl(), app::LineItemNrEntry);

  driver.PressKey(app::LineItemNrEntry, runtime::KeyF8);
  ASSERT_EQ(Top().title(), "Select a Items Record");
  driver.DoubleClickRow(app::BrowseList, 2);
  EXPECT_EQ(Trim(line.GetText(app::LineItemNrEntry)), "2");
  EXPECT_EQ(line.GetText(app::LineItemDescription), "Nails");
  driver.Press(line, app::FormOk);
  EXPECT_EQ(LinesOf(invoice), 1);
  driver.Press(form, app::FormOk);
  EXPECT_TRUE(ended);
}

// ------------------------------------------------------ leaving the form

TEST_F(InvoiceLinesTest, EscapeAsksAboutANewInvoicesLinesAndNoLeavesNothingBehind) {
  app::Access_INVOICES->PrimeRecord();
  StartInvoice(framework::RequestInsert);
  runtime::Window& form = Top();
  InsertLine(form, "1", "3", "7.50");
  messages.Expect("Save Record", "Save the invoice with its new line?", runtime::ButtonCancel);
  driver.PressKey(app::InvoiceCustomerEntry, runtime::KeyEscape);
  EXPECT_FALSE(ended) << "Cancel goes back to the form";
  EXPECT_EQ(driver.RowCount(app::InvoiceLinesList), 1);
  messages.Expect("Save Record", "Save the invoice with its new line?", ButtonNo);
  driver.Close(form);
  ASSERT_TRUE(ended);
  EXPECT_EQ(Count(app::Access_INVOICES), 0);
  EXPECT_EQ(Count(app::Access_INVOICEL), 0);
}

TEST_F(InvoiceLinesTest, NoTakesBackOnlyTheLinesTheChangeFormAdded) {
  int32_t invoice = AddInvoice(1);
  runtime::Window& form = OpenInvoice(invoice);
  InsertLine(form, "1", "1", "1.00");
  messages.Expect("Save Record", "its new line?", ButtonYes);
  driver.Press(form, app::FormCancel);
  ASSERT_TRUE(ended);

  runtime::Window& again = OpenInvoice(invoice);
  InsertLine(again, "2", "1", "2.00");
  InsertLine(again, "2", "1", "4.00");
  EXPECT_EQ(StoredSales(invoice), "7.00");
  messages.Expect("Save Record", "Save the invoice with its 2 new lines?", ButtonNo);
  driver.Press(again, app::FormCancel);
  ASSERT_TRUE(ended);
  EXPECT_EQ(LinesOf(invoice), 1);
  EXPECT_EQ(StoredSales(invoice), "1.00");

  OpenInvoice(invoice);
  driver.Close(Top());
  EXPECT_TRUE(ended) << "an untouched invoice leaves without a question";
}

}  // namespace
}  // namespace ledora::testing
