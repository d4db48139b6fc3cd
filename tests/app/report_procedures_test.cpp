// The invoicing report procedures as a user runs them, through the headless
// presenter, over real invoicing and design files made as at first start;
// their pages are read back through the text dump.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/demo_data.h"
#include "app/designer_preview.h"
#include "app/invoicing_dictionary.h"
#include "app/invoicing_report.h"
#include "app/main_frame.h"
#include "app/print_invoices.h"
#include "app/program.h"
#include "designer/designer_window.h"
#include "layout/clear_buffer.h"
#include "layout/design_database.h"
#include "reporting/print_preview.h"
#include "runtime/report/text_dump.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "runtime/window/headless_driver.h"
#include "tests/support/temp_folder.h"

namespace ledora::app {
namespace {

constexpr int32_t kToday = 80000;

class ReportProceduresTest : public ::testing::Test {
 protected:
  ReportProceduresTest() : driver(scheduler, presenter), designs(sqlite) {
    std::filesystem::current_path(folder.path());
    GlobalErrors.Initialize();
    EXPECT_TRUE(DictionarySetup(sqlite, GlobalErrors));
    layout::SetDesigns(&designs);
    designs.InitializeManagers(GlobalErrors);
    designs.BuildTableNames();
    MakeMissingDesignFiles(designs);
    destination.output = &dump;
    destination.preview = false;
    destination.pageFolder = folder.path();
  }
  ~ReportProceduresTest() override {
    designs.ShutdownManagers();
    layout::SetDesigns(nullptr);
    DictionaryShutdown();
    GlobalErrors.Shutdown();
    std::filesystem::current_path(previous);
  }

  void Fill(int invoices = 6) {
    ASSERT_EQ(FillDemoData(kToday, 7, {.customers = 4, .items = 5, .invoices = invoices}),
              DemoFilled);
  }
  void Start(InvoicingReportKind kind, InvoiceRange range = {}) {
    driver.Start([=, this] { outcome = RunInvoicingReport(kind, destination, range); });
  }
  void Run(InvoicingReportKind kind, InvoiceRange range = {}) {
    Start(kind, range);
    ASSERT_TRUE(driver.RunToEnd());
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const auto& message : presenter.messages()) texts.push_back(message.text);
    return texts;
  }
  // Changes the shipped designs' records through their table.
  template <typename Change>
  void ChangeDesignTable(layout::DesignTable table, int key, Change change) {
    ASSERT_TRUE(designs.Use(table));
    ASSERT_EQ(designs.File(table)->Fetch(key), 0);
    change();
    ASSERT_EQ(designs.File(table)->Put(), 0);
    designs.Release(table);
  }

  // Every stored content record of every design, as bytes.
  std::vector<std::string> StoredContents() {
    std::vector<std::string> records;
    EXPECT_TRUE(designs.Use(layout::R_Content));
    runtime::DataFile* file = designs.File(layout::R_Content);
    layout::ClearBuffer(layout::R_Content);
    if (file->SetOnKey(layout::ContentRecord::DESIGNNUMBERKEY) == 0) {
      while (file->Next() == 0) {
        records.emplace_back(reinterpret_cast<const char*>(&layout::R_C), sizeof layout::R_C);
      }
    }
    designs.Release(layout::R_Content);
    return records;
  }

  std::filesystem::path previous = std::filesystem::current_path();
  testing::TempFolder folder;
  runtime::Scheduler scheduler;
  ProcedureThreads threads;
  runtime::HeadlessPresenter presenter;
  runtime::HeadlessDriver driver;
  runtime::SqliteDriver sqlite;
  layout::DesignDatabase designs;
  runtime::TextDump dump;
  ReportDestination destination;
  ReportOutcome outcome;
};

TEST_F(ReportProceduresTest, InvoicesFromThreeToFivePrintEachOnAPageOfItsOwn) {
  Fill();
  Run(ReportInvoices, {3, 5});
  EXPECT_EQ(outcome.response, 1);
  EXPECT_TRUE(outcome.printed);
  ASSERT_EQ(dump.pages(), 3) << dump.text();
  size_t page = 0;
  for (int invoice = 3; invoice <= 5; ++invoice) {
    // Each invoice is numbered from page 1.
    page = dump.text().find("--- page 1 ---", page);
    ASSERT_NE(page, std::string::npos) << dump.text();
    size_t next = dump.text().find("--- page", page + 1);
    std::string text = dump.text().substr(page, next - page);
    page = next;
    EXPECT_NE(text.find("Invoice number"), std::string::npos) << text;
    EXPECT_NE(text.find(" " + std::to_string(invoice) + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Quantity"), std::string::npos) << text;
  }
  EXPECT_TRUE(presenter.messages().empty());
}

TEST_F(ReportProceduresTest, InvoicesFromFiveToThreePrintNothing) {
  Fill();
  presenter.ScriptMessage(runtime::ButtonOk);
  Run(ReportInvoices, {5, 3});
  EXPECT_EQ(Shown(), std::vector<std::string>{"There are no records available to process."});
  EXPECT_EQ(outcome.response, 2);
  EXPECT_EQ(dump.pages(), 0);
}

TEST_F(ReportProceduresTest, AnEmptyFileGivesTheNoRecordsMessage) {
  presenter.ScriptMessage(runtime::ButtonOk);
  Run(ReportItems);
  EXPECT_EQ(Shown(), std::vector<std::string>{"There are no records available to process."});
  EXPECT_EQ(outcome.response, 2);
  EXPECT_FALSE(outcome.printed);
  EXPECT_EQ(dump.pages(), 0);
}

TEST_F(ReportProceduresTest, ItemsFallBackToTheDefaultDesignAndWithoutOneSayLayoutNotFound) {
  Fill();
  // The type's "Standard" design is gone; the default design number stays.
  layout::ClearBuffer(layout::R_Design);
  layout::R_D.DESIGNNUMBER = 3;
  ChangeDesignTable(layout::R_Design, layout::DesignRecord::DESIGNNUMBERKEY,
                    [] { runtime::AssignPadded(layout::R_D.DESIGNNAME, "Renamed"); });
  Run(ReportItems);
  EXPECT_TRUE(outcome.printed);
  EXPECT_NE(dump.text().find("Item List"), std::string::npos);

  layout::ClearBuffer(layout::R_Types);
  runtime::AssignPadded(layout::R_T.TYPENAME, "Items");
  ChangeDesignTable(layout::R_Types, layout::ReportTypeRecord::TYPENAMEKEY,
                    [] { layout::R_T.STANDARDDESIGN = 0; });
  presenter.ScriptMessage(runtime::ButtonOk);
  Run(ReportItems);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Layout not found/selected"});
  EXPECT_FALSE(outcome.printed);
  EXPECT_EQ(dump.pages(), 1);  // only the first run's
}

TEST_F(ReportProceduresTest, AMissingReportTypeEndsBeforeAnyOutput) {
  Fill();
  layout::ClearBuffer(layout::R_Types);
  runtime::AssignPadded(layout::R_T.TYPENAME, "Invoice List");
  ChangeDesignTable(layout::R_Types, layout::ReportTypeRecord::TYPENAMEKEY,
                    [] { runtime::AssignPadded(layout::R_T.TYPENAME, "Old List"); });
  presenter.ScriptMessage(runtime::ButtonOk);
  Run(ReportInvoiceList);
  EXPECT_EQ(Shown(), std::vector<std::string>{"Report type not found"});
  EXPECT_EQ(dump.pages(), 0);
}

TEST_F(ReportProceduresTest, CustomerListByNumberPrintsTheDesignTheUserChose) {
  Fill();
  Start(ReportCustomersById);
  runtime::Window* selection = driver.Titled("Select design to print");
  ASSERT_NE(selection, nullptr);
  EXPECT_EQ(driver.RowCount(3), 2);  // "Customer list" and "Test"
  EXPECT_EQ(driver.Shown(7), "Customer list");
  EXPECT_EQ(driver.Shown(5), "Customer list");
  // A name that is no design keeps the window open.
  presenter.ScriptMessage(runtime::ButtonOk);
  driver.Type(5, "Nothing");
  driver.Press(9);
  ASSERT_EQ(presenter.messages().size(), 1u);
  EXPECT_EQ(presenter.messages()[0].caption, "Open Existing Design");
  EXPECT_EQ(presenter.messages()[0].text,
            "Nothing\nThis design does not exist.  Please select an existing design");
  EXPECT_EQ(driver.Shown(5), "");
  driver.ChooseRow(3, 2);
  EXPECT_EQ(driver.Shown(5), "Test");
  driver.Press(8);  // "&Default"
  EXPECT_EQ(driver.Shown(7), "Test");
  driver.Press(9);
  ASSERT_TRUE(driver.RunToEnd());
  EXPECT_TRUE(outcome.printed);
  EXPECT_NE(dump.text().find("Customers by Name"), std::string::npos) << dump.text();
}

TEST_F(ReportProceduresTest, CancellingTheDesignSelectionPrintsNothing) {
  Fill();
  Start(ReportCustomersById);
  ASSERT_NE(driver.Titled("Select design to print"), nullptr);
  presenter.ScriptMessage(runtime::ButtonOk);
  driver.Press(10);
  ASSERT_TRUE(driver.RunToEnd());
  EXPECT_EQ(Shown(), std::vector<std::string>{"Layout not found/selected"});
  EXPECT_FALSE(outcome.printed);
  EXPECT_EQ(dump.pages(), 0);
}

TEST_F(ReportProceduresTest, InvoiceListShowsEachInvoicesCustomer) {
  Fill(3);
  Run(ReportInvoiceList);
  ASSERT_TRUE(outcome.printed);
  Relate_CUSTOMER->Open();
  for (int32_t id = 1; id <= 4; ++id) {
    CUS.CUSTOMERID = id;
    ASSERT_EQ(Access_CUSTOMER->Fetch(CustomerRecord::IDKEY), 0);
  }
  Relate_INVOICES->Open();
  Access_INVOICES->MakeUsable();
  for (int32_t number = 1; number <= 3; ++number) {
    INV.NUMBER = number;
    ASSERT_EQ(Access_INVOICES->Fetch(InvoiceRecord::NUMBERKEY), 0);
    CUS.CUSTOMERID = INV.CUSTOMERID;
    ASSERT_EQ(Access_CUSTOMER->Fetch(CustomerRecord::IDKEY), 0);
    std::string name(runtime::Clip(std::string_view(CUS.NAME, sizeof CUS.NAME)));
    EXPECT_NE(dump.text().find(name), std::string::npos) << name << " in\n" << dump.text();
  }
  Relate_INVOICES->Close();
  Relate_CUSTOMER->Close();
}

TEST_F(ReportProceduresTest, PrintInvoicesRunsTheRangeIntoThePreview) {
  Fill();
  driver.Start(PrintInvoices);
  ASSERT_NE(driver.Titled("Print Invoices"), nullptr);
  // A number that is no invoice opens the invoices list to choose one.
  driver.Type(3, "77");
  runtime::Window* list = driver.Top();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->title(), "Browse the Invoices File");
  driver.Close(*list);
  driver.Type(3, "3");
  driver.Type(6, "5");
  EXPECT_EQ(driver.Top()->title(), "Print Invoices");
  driver.Press(8);
  ASSERT_TRUE(driver.RunToEnd(100) || driver.Titled("Report Preview") != nullptr);
  runtime::Window* preview = driver.Titled("Report Preview");
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->Find(14)->tip, "Enter a page number from 1 to 3");
  driver.Press(*preview, 11);  // Exit: nothing is printed
  ASSERT_TRUE(driver.RunToEnd());
  EXPECT_TRUE(presenter.messages().empty());
  EXPECT_EQ(driver.Titled("Print Invoices"), nullptr);
}

// The designer's Preview prints what the canvas shows: the Items list
// without the description its control was deleted from, while the stored
// "Standard" keeps it.
TEST_F(ReportProceduresTest, DesignerPreviewPrintsTheEditedLayoutWithoutStoringIt) {
  Fill();
  std::vector<std::string> stored = StoredContents();
  destination.preview = true;
  designer::DesignerWindow window(designs);
  window.SetPreview([&](const std::string& type, const std::vector<layout::ContentRecord>& c) {
    PreviewLayout(type, c, destination);
  });
  driver.Start([&] { window.Run("Items", "Standard"); });
  ASSERT_TRUE(window.loaded());
  for (int i = 0; i < 100 && (window.canvas()->SelectedControl() == nullptr ||
                              window.canvas()->SelectedControl()->FIELDNAME != "ITE:DESCRIPTION");
       ++i) {
    window.window().UserKey(0, runtime::KeyTab);
    driver.Settle();
  }
  ASSERT_NE(window.canvas()->SelectedControl(), nullptr);
  window.window().UserKey(0, runtime::KeyDelete);
  window.window().UserKey(0, runtime::KeyCtrl + 'R');
  driver.RunToEnd(100);
  runtime::Window* preview = driver.Titled("Report Preview");
  ASSERT_NE(preview, nullptr);
  // The preview's Find reads the pages' text.
  auto find = [&](const char* text) {
    driver.Press(*preview, reporting::PreviewFind);
    driver.Type(*driver.Titled("Find"), 2, text);
    driver.Press(*driver.Titled("Find"), 10);
    return preview->Find(reporting::PreviewFindStatus)->text;
  };
  EXPECT_EQ(find("Item List"), "Match 1 of 1");
  presenter.ScriptMessage(runtime::ButtonOk);
  EXPECT_EQ(find("Ballpoint pens"), "Not found");
  EXPECT_EQ(Shown(), std::vector<std::string>{"\"Ballpoint pens\" was not found in the report."});
  driver.Press(*preview, reporting::PreviewTbarExit);
  driver.RunToEnd(100);
  EXPECT_EQ(driver.Titled("Report Preview"), nullptr);
  EXPECT_EQ(window.state()->DESIGNCHANGED, 1);
  EXPECT_TRUE(StoredContents() == stored);

  window.state()->DESIGNCHANGED = 0;
  window.window().Post(runtime::EventCloseDown);
  driver.Settle();
  destination.preview = false;
  Run(ReportItems);
  EXPECT_NE(dump.text().find("Ballpoint pens"), std::string::npos);
}

TEST_F(ReportProceduresTest, PreviewOfATypeWithoutAReportProcedureSaysSo) {
  presenter.ScriptMessage(runtime::ButtonOk);
  driver.Start([this] { PreviewLayout("Labels", {}, destination); });
  ASSERT_TRUE(driver.RunToEnd());
  EXPECT_EQ(Shown(),
            std::vector<std::string>{"This application has no report procedure for the report type "
                                     "\"Labels\", so its layouts cannot be previewed."});
  EXPECT_EQ(dump.pages(), 0);
}

}  // namespace
}  // namespace ledora::app
