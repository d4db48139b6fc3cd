// The invoicing lists as the browses and forms build them on the paged
// browse, over the real invoicing files.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/invoicing_dictionary.h"
#include "framework/paged_browse.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/views/view.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using app::CUS;
using app::INV;
using app::INVL;

class BrowsesTest : public ::testing::Test {
 protected:
  BrowsesTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    errors.Initialize();
    EXPECT_TRUE(app::DictionarySetup(driver, errors));
  }
  ~BrowsesTest() override {
    if (browse != nullptr) {
      browse->Close();
      browse->Shutdown();
    }
    EXPECT_FALSE(halts.halted());
    app::DictionaryShutdown();
    std::filesystem::current_path(previous_);
  }

  void AddCustomer(const char* name, const char* address1) {
    app::Relate_CUSTOMER->Open();
    app::Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(CUS.NAME, name);
    runtime::AssignPadded(CUS.ADDRESS1, address1);
    ASSERT_EQ(app::Access_CUSTOMER->Insert(), 0);
    app::Relate_CUSTOMER->Close();
  }
  int32_t AddInvoice() {
    app::Relate_INVOICES->Open();
    app::Access_INVOICES->PrimeRecord();
    INV.CUSTOMERID = 1;
    EXPECT_EQ(app::Access_INVOICES->Insert(), 0);
    app::Relate_INVOICES->Close();
    return INV.NUMBER;
  }

  // A browse of file, with sort orders for the keys in the order given.
  void Open(data::RelationController* relation, const std::vector<int>& keys,
            const std::vector<runtime::FieldRef>& fields, int rows) {
    relation->Open();
    relation->ME->MakeUsable();
    view = std::make_unique<runtime::View>(
        runtime::ViewDeclaration{&relation->ME->CurrentFile(), {}, {}});
    browse = std::make_unique<framework::PagedBrowse>();
    browse->Initialize(view.get(), relation);
    for (int key : keys) browse->AddSortOrder(key);
    for (const runtime::FieldRef& field : fields) browse->AddField(field);
    browse->SetVisibleRows(rows);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const auto& row : browse->rows()) {
      names.push_back(std::string(runtime::Clip(row.columns[1])));
    }
    return names;
  }

  TempFolder folder;
  HaltRecorder halts;
  ScriptedMessages messages;
  data::ErrorReporter errors;
  runtime::SqliteDriver driver;
  std::unique_ptr<runtime::View> view;
  std::unique_ptr<framework::PagedBrowse> browse;

 private:
  std::filesystem::path previous_;
};

TEST_F(BrowsesTest, NameAndAddressOrderIgnoresCaseAndSkipsBlankCustomers) {
  AddCustomer("miller", "2 Oak Street");
  AddCustomer("Adams", "");
  AddCustomer("", "");
  AddCustomer("MILLER", "1 Oak Street");
  AddCustomer("baker", "9 Mill Way");
  // Second tab's key first: order 1 is the name order, order 2 the ID order.
  Open(app::Relate_CUSTOMER, {app::CustomerRecord::NAMEADDRESSKEY, app::CustomerRecord::IDKEY},
       {runtime::FieldRef::Of(CUS.CUSTOMERID), runtime::FieldRef::Of(CUS.NAME)}, 10);
  browse->ChooseSortOrder(2, true);
  EXPECT_EQ(Names(), (std::vector<std::string>{"miller", "Adams", "", "MILLER", "baker"}));
  browse->ChooseSortOrder(1, false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"Adams", "baker", "MILLER", "miller"}));
  EXPECT_EQ(CUS.CUSTOMERID, 1) << "the highlighted record stays highlighted in the new order";
  EXPECT_EQ(browse->CURRENTCHOICE, 4);
}

TEST_F(BrowsesTest, TypingInTheNameOrderJumpsAndStepsThroughTheLetter) {
  for (const char* name : {"Adams", "baker", "Miller", "mills", "Norton", "Owens"}) {
    AddCustomer(name, "");
  }
  Open(app::Relate_CUSTOMER, {app::CustomerRecord::NAMEADDRESSKEY},
       {runtime::FieldRef::Of(CUS.CUSTOMERID), runtime::FieldRef::Of(CUS.NAME)}, 3);
  framework::Locator locator;
  locator.Initialize(browse.get(), 0, runtime::FieldRef::Of(CUS.NAME), true);
  browse->SetLocator(&locator);
  browse->ChooseSortOrder(1, true);

  EXPECT_EQ(browse->OnLocatorKey('M'), 1);
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "Miller");
  EXPECT_EQ(Names().front(), "Miller");
  EXPECT_EQ(browse->OnLocatorKey('M'), 1);
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "mills");
  EXPECT_EQ(browse->OnLocatorKey('Z'), 1) << "past the last name";
  EXPECT_EQ(std::string(runtime::ClippedField(CUS.NAME)), "Owens");
  EXPECT_EQ(browse->OnLocatorKey(0), 0) << "a key that types nothing";
}

TEST_F(BrowsesTest, LinesListShowsOnlyItsInvoiceAndNumbersInsertedLines) {
  int32_t first = AddInvoice();
  int32_t second = AddInvoice();
  Open(app::Relate_INVOICEL, {app::InvoiceLineRecord::LINENRKEY},
       {runtime::FieldRef::Of(INVL.INVOICENR), runtime::FieldRef::Of(INVL.LINENR)}, 5);
  browse->AddRange(app::Relate_INVOICEL, app::Relate_INVOICES);
  app::Relate_INVOICES->Open();

  for (int32_t invoice : {first, second, second, first, second}) {
    INV.NUMBER = invoice;
    browse->ChooseSortOrder(1, true);
    ASSERT_EQ(browse->PrimeRecord(), 0);
    EXPECT_EQ(INVL.INVOICENR, invoice) << "the range primes the invoice number";
    INVL.QUANTITY = 1;
    ASSERT_EQ(app::Access_INVOICEL->Insert(), 0);
    browse->RefreshAfterUpdate(1, 1);
    EXPECT_EQ(INVL.INVOICENR, invoice);
  }
  EXPECT_EQ(INVL.LINENR, 3) << "numbering counts within the invoice";

  INV.NUMBER = first;
  EXPECT_TRUE(browse->NeedsReset()) << "another invoice limits the list";
  browse->ChooseSortOrder(1, false);
  ASSERT_EQ(browse->rows().size(), 2u);
  EXPECT_FALSE(browse->NeedsReset());
  browse->OnScrollEvent(runtime::EventScrollBottom);
  EXPECT_EQ(INVL.INVOICENR, first);
  EXPECT_EQ(INVL.LINENR, 2);
  app::Relate_INVOICES->Close();
}

}  // namespace
}  // namespace ledora::testing
