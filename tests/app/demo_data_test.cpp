#include "app/demo_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "app/invoicing_dictionary.h"
#include "runtime/storage/sqlite_driver.h"
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

constexpr int32_t kToday = 82000;

class DemoDataTest : public ::testing::Test {
 protected:
  DemoDataTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder.path());
    errors.Initialize();
    EXPECT_TRUE(app::DictionarySetup(driver, errors));
  }
  ~DemoDataTest() override {
    EXPECT_FALSE(halts.halted());
    app::DictionaryShutdown();
    std::filesystem::current_path(previous_);
  }

  // Reads every record of a file in primary key order, calling visit for each.
  template <typename Visit>
  int ReadAll(data::FileManager* manager, Visit visit) {
    manager->Open();
    EXPECT_EQ(manager->MakeUsable(), 0);
    EXPECT_EQ(manager->CurrentFile().SetOrder(0), 0);
    int count = 0;
    while (manager->NextQuietly() == 0) {
      visit();
      ++count;
    }
    manager->Close();
    return count;
  }

  TempFolder folder;
  HaltRecorder halts;
  ScriptedMessages messages;
  data::ErrorReporter errors;
  runtime::SqliteDriver driver;

 private:
  std::filesystem::path previous_;
};

TEST_F(DemoDataTest, FillsAConsistentSetOfSampleRecords) {
  ASSERT_EQ(app::FillDemoData(kToday), app::DemoFilled);

  std::set<int32_t> customers;
  std::set<std::string> names;
  EXPECT_EQ(ReadAll(Access_CUSTOMER,
                    [&] {
                      customers.insert(app::CUS.CUSTOMERID);
                      names.insert(std::string(runtime::ClippedField(app::CUS.NAME)));
                      EXPECT_FALSE(runtime::ClippedField(app::CUS.ADDRESS1).empty());
                    }),
            50);
  EXPECT_GT(names.size(), 30u) << "names should look like a real customer list";

  std::map<int32_t, runtime::Decimal> itemPrices;
  EXPECT_EQ(ReadAll(Access_ITEMS,
                    [&] {
                      itemPrices[app::ITE.ITEMNR] =
                          runtime::UnpackDecimal(app::ITE.PRICE, app::kMoneySize, 2);
                    }),
            30);

  std::map<int32_t, runtime::Decimal> sales;
  int32_t previousDate = 0;
  EXPECT_EQ(ReadAll(Access_INVOICES,
                    [&] {
                      EXPECT_TRUE(customers.count(app::INV.CUSTOMERID));
                      EXPECT_GE(app::INV.INVOICEDATE, kToday - 730);
                      EXPECT_LE(app::INV.INVOICEDATE, kToday);
                      EXPECT_GE(app::INV.INVOICEDATE, previousDate);
                      previousDate = app::INV.INVOICEDATE;
                      sales[app::INV.NUMBER] =
                          runtime::UnpackDecimal(app::INV.SALES, app::kMoneySize, 2);
                    }),
            100);

  // Lines are numbered 1, 2, ... within each invoice and add up to its sales.
  std::map<int32_t, int32_t> lastLine;
  std::map<int32_t, runtime::Decimal> lineTotals;
  ReadAll(Access_INVOICEL, [&] {
    int32_t invoice = app::INVL.INVOICENR;
    EXPECT_EQ(app::INVL.LINENR, lastLine[invoice] + 1);
    lastLine[invoice] = app::INVL.LINENR;
    ASSERT_TRUE(itemPrices.count(app::INVL.ITEMNR));
    runtime::Decimal price = runtime::UnpackDecimal(app::INVL.PRICE, app::kMoneySize, 2);
    EXPECT_EQ(price, itemPrices[app::INVL.ITEMNR] * runtime::Decimal(app::INVL.QUANTITY));
    lineTotals[invoice] = lineTotals[invoice] + price;
  });
  ASSERT_EQ(lastLine.size(), 100u) << "every invoice has lines";
  for (const auto& [invoice, count] : lastLine) {
    EXPECT_GE(count, 1);
    EXPECT_LE(count, 8);
    EXPECT_EQ(lineTotals[invoice], sales[invoice]) << "invoice " << invoice;
  }
}

TEST_F(DemoDataTest, LeavesAFolderWithDataAlone) {
  Access_ITEMS->Open();
  Access_ITEMS->PrimeRecord();
  runtime::AssignPadded(app::ITE.DESCRIPTION, "Own item");
  ASSERT_EQ(Access_ITEMS->Insert(), 0);
  Access_ITEMS->Close();

  EXPECT_EQ(app::FillDemoData(kToday), app::DemoNotEmpty);
  EXPECT_EQ(ReadAll(Access_CUSTOMER, [] {}), 0);
  EXPECT_EQ(ReadAll(Access_ITEMS, [] {}), 1);
}

TEST_F(DemoDataTest, SecondRunAddsNothing) {
  app::DemoSize small{3, 2, 4, 2};
  ASSERT_EQ(app::FillDemoData(kToday, 7, small), app::DemoFilled);
  EXPECT_EQ(app::FillDemoData(kToday, 7, small), app::DemoNotEmpty);
  EXPECT_EQ(ReadAll(Access_INVOICES, [] {}), 4);
}

}  // namespace
}  // namespace ledora::testing
