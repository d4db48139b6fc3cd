#include "app/invoicing_dictionary.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/storage/sqlite_driver.h"
#include "runtime/system/runtime_error.h"
#include "runtime/values/decimal.h"
#include "runtime/values/fixed_string.h"
#include "tests/support/halt_recorder.h"
#include "tests/support/scripted_messages.h"
#include "tests/support/temp_folder.h"

namespace ledora::testing {
namespace {

using app::Access_CUSTOMER;
using app::Access_INVOICEL;
using app::Access_INVOICES;
using app::Access_ITEMS;
using app::CUS;
using app::CustomerRecord;
using app::INV;
using app::INVL;
using app::ITE;

// The dictionary works on relative names, so each test runs in its own
// folder as the program runs in its data folder.
class InvoicingDictionaryTest : public ::testing::Test {
 protected:
  InvoicingDictionaryTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    errors.Initialize();
    EXPECT_TRUE(app::DictionarySetup(driver, errors));
  }
  ~InvoicingDictionaryTest() override {
    EXPECT_FALSE(halts.halted()) << halts.calls()[0].text;
    app::DictionaryShutdown();
    std::filesystem::current_path(previous_);
  }

  int32_t AddCustomer(const char* name, const char* address1 = "", const char* address2 = "") {
    Access_CUSTOMER->Open();
    Access_CUSTOMER->PrimeRecord();
    runtime::AssignPadded(CUS.NAME, name);
    runtime::AssignPadded(CUS.ADDRESS1, address1);
    runtime::AssignPadded(CUS.ADDRESS2, address2);
    uint8_t result = Access_CUSTOMER->Insert();
    Access_CUSTOMER->Close();
    return result == 0 ? CUS.CUSTOMERID : -1;
  }
  int32_t AddInvoice(int32_t customer) {
    Access_INVOICES->Open();
    Access_INVOICES->PrimeRecord();
    INV.CUSTOMERID = customer;
    INV.INVOICEDATE = 80000;
    uint8_t result = Access_INVOICES->Insert();
    Access_INVOICES->Close();
    return result == 0 ? INV.NUMBER : -1;
  }
  int32_t AddLine(int32_t invoice, int32_t item) {
    Access_INVOICEL->Open();
    Access_INVOICEL->ClearRecord();
    INVL.INVOICENR = invoice;
    INVL.ITEMNR = item;
    INVL.QUANTITY = 1;
    uint8_t result = Access_INVOICEL->Insert();
    Access_INVOICEL->Close();
    return result == 0 ? INVL.LINENR : -1;
  }

  int64_t Count(data::FileManager* manager) {
    manager->Open();
    EXPECT_EQ(manager->MakeUsable(), 0);
    int64_t count = manager->CurrentFile().Records();
    manager->Close();
    return count;
  }

  // The customers' names in the order of a key.
  std::vector<std::string> NamesInOrder(int key) {
    std::vector<std::string> names;
    Access_CUSTOMER->Open();
    EXPECT_EQ(Access_CUSTOMER->MakeUsable(), 0);
    EXPECT_EQ(Access_CUSTOMER->CurrentFile().SetOrder(key), 0);
    while (Access_CUSTOMER->NextQuietly() == 0) {
      names.emplace_back(runtime::ClippedField(CUS.NAME));
    }
    Access_CUSTOMER->Close();
    return names;
  }

  TempFolder folder;
  HaltRecorder halts;
  ScriptedMessages messages;
  data::ErrorReporter errors;
  runtime::SqliteDriver driver;

 private:
  std::filesystem::path previous_;
};

// ---------------------------------------------------------------- set-up

TEST_F(InvoicingDictionaryTest, SetUpPublishesEveryManagerAndShutDownClearsThem) {
  for (data::FileManager* manager :
       {Access_CUSTOMER, Access_ITEMS, Access_INVOICES, Access_INVOICEL}) {
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->CREATE, 1);
    EXPECT_EQ(manager->LOCKRECOVER, 10);
    EXPECT_EQ(manager->OPENMODE, runtime::OpenReadWriteShared);
  }
  EXPECT_EQ(Access_INVOICEL->DisplayName(), "InvoiceLines");
  EXPECT_FALSE(Access_ITEMS->perThread());  // one open state for all threads
  EXPECT_TRUE(Access_CUSTOMER->perThread() && Access_INVOICES->perThread() &&
              Access_INVOICEL->perThread());
  EXPECT_EQ(app::Relate_INVOICES->ME, Access_INVOICES);
  EXPECT_FALSE(app::DictionarySetup(driver, errors));  // a second set-up changes nothing
  EXPECT_EQ(app::Relate_INVOICES->ME, Access_INVOICES);

  app::DictionaryShutdown();
  EXPECT_EQ(Access_CUSTOMER, nullptr);
  EXPECT_EQ(app::Relate_INVOICEL, nullptr);
  app::DictionaryShutdown();  // twice is harmless
  EXPECT_TRUE(app::DictionarySetup(driver, errors));
}

TEST_F(InvoicingDictionaryTest, FilesAreCreatedEmptyOnTheirFirstRealUseOnly) {
  Access_CUSTOMER->Open();
  EXPECT_FALSE(std::filesystem::exists("CUSTOMER.KDS"));  // opening only counts the use
  Access_CUSTOMER->Close();
  for (data::FileManager* manager :
       {Access_CUSTOMER, Access_ITEMS, Access_INVOICES, Access_INVOICEL}) {
    EXPECT_EQ(Count(manager), 0);
  }
  for (const char* file : {"CUSTOMER.KDS", "ITEMS.KDS", "INVOICES.KDS", "INVOICEL.KDS"}) {
    EXPECT_TRUE(std::filesystem::exists(file)) << file;
  }
}

// ---------------------------------------------------------------- records and keys

TEST_F(InvoicingDictionaryTest, RecordsKeepPricesAndDatesThroughTheFile) {
  Access_ITEMS->Open();
  Access_ITEMS->PrimeRecord();
  runtime::AssignPadded(ITE.DESCRIPTION, "Kaffee");
  ASSERT_TRUE(runtime::PackDecimal(runtime::Decimal::FromUnits(-1234567, 2), ITE.PRICE,
                                   app::kMoneySize, app::kMoneyPlaces));
  ASSERT_EQ(Access_ITEMS->Insert(), 0);
  EXPECT_EQ(ITE.ITEMNR, 1);
  app::ItemRecord written = ITE;
  ITE = {};
  ITE.ITEMNR = 1;
  ASSERT_EQ(Access_ITEMS->Fetch(app::ItemRecord::ITEMNRKEY), 0);
  Access_ITEMS->Close();
  EXPECT_EQ(std::memcmp(&ITE, &written, sizeof ITE), 0);
  EXPECT_EQ(runtime::UnpackDecimal(ITE.PRICE, 5, 2).ToString(), "-12345.67");

  EXPECT_EQ(app::InvoiceLayout().fields()[2].type, runtime::FieldDate);
  EXPECT_EQ(app::FieldPicture("INV:INVOICEDATE"), "@d17");
  EXPECT_EQ(app::FieldPicture("ite:price"), "@n-13.2");
  EXPECT_EQ(app::FieldPicture("CUS:NOSUCH"), "");
}

TEST_F(InvoicingDictionaryTest, CustomersAndInvoicesAreNumberedThroughTheWholeFile) {
  EXPECT_EQ(AddCustomer("Ann"), 1);
  EXPECT_EQ(AddCustomer("Bob"), 2);
  EXPECT_EQ(AddInvoice(2), 1);
  EXPECT_EQ(AddInvoice(1), 2);
}

TEST_F(InvoicingDictionaryTest, LineNumbersCountWithinEachInvoice) {
  ASSERT_EQ(AddInvoice(1), 1);
  ASSERT_EQ(AddInvoice(1), 2);
  EXPECT_EQ(AddLine(1, 7), 1);
  EXPECT_EQ(AddLine(1, 8), 2);
  EXPECT_EQ(AddLine(2, 7), 1);  // another invoice may repeat a line number
  EXPECT_EQ(AddLine(1, 9), 3);

  // Two lines of one invoice may not share a number.
  Access_INVOICEL->Open();
  ASSERT_EQ(Access_INVOICEL->MakeUsable(), 0);
  INVL = {};
  INVL.INVOICENR = 2;
  INVL.LINENR = 1;
  EXPECT_EQ(Access_INVOICEL->CurrentFile().Add(), runtime::ErrorDuplicateKey);
  INVL.INVOICENR = 3;
  EXPECT_EQ(Access_INVOICEL->CurrentFile().Add(), 0);
  Access_INVOICEL->Close();
}

TEST_F(InvoicingDictionaryTest, NameAndAddressOrderAllowsTwinsIgnoresCaseAndSkipsBlanks) {
  AddCustomer("beta", "Street 1");
  AddCustomer("Alpha", "Road 2", "Town");
  AddCustomer("", "", "");
  AddCustomer("alpha", "road 2", "town");  // the same customer written in another case
  AddCustomer("Alpha", "Road 2", "Town");  // and an exact twin
  AddCustomer("Charlie");
  EXPECT_EQ(NamesInOrder(CustomerRecord::NAMEADDRESSKEY),
            (std::vector<std::string>{"Alpha", "alpha", "Alpha", "beta", "Charlie"}));
  EXPECT_EQ(NamesInOrder(CustomerRecord::IDKEY).size(), 6u);
}

// ---------------------------------------------------------------- relations

// An invoice must keep its customer and a line its item: a delete that
// would orphan them is refused with the count of records that hold on.
TEST_F(InvoicingDictionaryTest, ACustomerWithInvoicesAndAnItemOnLinesAreNotDeleted) {
  ASSERT_EQ(AddCustomer("Ann"), 1);
  ASSERT_EQ(AddCustomer("Bob"), 2);
  ASSERT_EQ(AddInvoice(1), 1);
  ASSERT_EQ(AddInvoice(1), 2);
  ASSERT_EQ(AddInvoice(2), 3);
  Access_CUSTOMER->Open();  // as the browse keeps it open
  CUS.CUSTOMERID = 1;
  ASSERT_EQ(Access_CUSTOMER->Fetch(CustomerRecord::IDKEY), 0);
  messages.Expect("Referential Integrity Delete Error", "Records in Invoices that refer to it: 2.",
                  runtime::ButtonOk);
  EXPECT_NE(app::Relate_CUSTOMER->Delete(false), 0);
  Access_CUSTOMER->Close();
  EXPECT_EQ(Count(Access_CUSTOMER), 2);
  EXPECT_EQ(Count(Access_INVOICES), 3);

  ASSERT_EQ(AddLine(1, 5), 1);
  ASSERT_EQ(AddLine(3, 6), 1);
  ASSERT_EQ(AddLine(3, 5), 2);
  ASSERT_EQ(AddLine(2, 5), 1);
  Access_ITEMS->Open();
  for (int32_t item : {5, 6, 7}) {
    Access_ITEMS->PrimeRecord();
    ITE.ITEMNR = item;
    ASSERT_EQ(Access_ITEMS->Insert(), 0);
  }
  ITE.ITEMNR = 5;
  ASSERT_EQ(Access_ITEMS->Fetch(app::ItemRecord::ITEMNRKEY), 0);
  messages.Expect("Referential Integrity Delete Error",
                  "Records in InvoiceLines that refer to it: 3.", runtime::ButtonOk);
  EXPECT_NE(app::Relate_ITEMS->Delete(false), 0);
  ITE.ITEMNR = 7;
  ASSERT_EQ(Access_ITEMS->Fetch(app::ItemRecord::ITEMNRKEY), 0);
  EXPECT_EQ(app::Relate_ITEMS->Delete(false), 0) << "an item no line sells goes";
  Access_ITEMS->Close();
  EXPECT_EQ(Count(Access_ITEMS), 2);
  EXPECT_EQ(Count(Access_INVOICEL), 4);
}

TEST_F(InvoicingDictionaryTest, DeletingAnInvoiceLeavesItsLines) {
  ASSERT_EQ(AddInvoice(1), 1);
  ASSERT_EQ(AddLine(1, 5), 1);
  ASSERT_EQ(AddLine(1, 6), 2);
  Access_INVOICES->Open();
  INV.NUMBER = 1;
  ASSERT_EQ(Access_INVOICES->Fetch(app::InvoiceRecord::NUMBERKEY), 0);
  messages.Expect("Confirm Delete", "", runtime::ButtonYes);
  EXPECT_EQ(app::Relate_INVOICES->Delete(true), 0);
  Access_INVOICES->Close();
  EXPECT_EQ(Count(Access_INVOICES), 0);
  EXPECT_EQ(Count(Access_INVOICEL), 2);
}

bool Links(const data::LinkPair& pair, const void* a, const void* b) {
  return (pair.left.address == a && pair.right.address == b) ||
         (pair.left.address == b && pair.right.address == a);
}

TEST_F(InvoicingDictionaryTest, InvoicesLinkToCustomersAndLinesForViews) {
  std::vector<data::LinkPair> links;
  app::Relate_INVOICES->ListLinkingFields(app::Relate_CUSTOMER, links);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_TRUE(Links(links[0], &INV.CUSTOMERID, &CUS.CUSTOMERID));
  links.clear();
  app::Relate_INVOICEL->ListLinkingFields(app::Relate_INVOICES, links);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_TRUE(Links(links[0], &INVL.INVOICENR, &INV.NUMBER));
  links.clear();
  app::Relate_ITEMS->ListLinkingFields(app::Relate_INVOICEL, links);
  ASSERT_EQ(links.size(), 1u);
  EXPECT_TRUE(Links(links[0], &INVL.ITEMNR, &ITE.ITEMNR));
}

}  // namespace
}  // namespace ledora::testing
