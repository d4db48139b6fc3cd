// The shipped designs as `ledora print` prints them: each invoice's pages
// numbered from 1 with its own count, and a data folder made by the earlier
// version printing with the new designs while keeping one its user changed.
#include <gtest/gtest.h>

#include <fstream>

#include "layout/content_data.h"
#include "layout/control_entry.h"
#include "layout/design_database.h"
#include "runtime/storage/sqlite_driver.h"
#include "tests/layout/earlier_version.h"
#include "tests/print/print_fixture.h"

namespace ledora::testing {
namespace {

class ShippedDesignsPrintTest : public PrintFixture {
 protected:
  // The text of each page of the PDF that `ledora print ARGS` writes.
  std::vector<std::string> PdfPages(const std::string& args) {
    std::string pdf = data_.File("out.pdf");
    Run run = Print(args + " --pdf '" + pdf + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> pages;
    std::string text = PdfText(pdf);
    for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos;
         start = end + 1) {
      pages.push_back(text.substr(start, end - start));
    }
    return pages;
  }

  // The earlier version's design files, with the title of its standard
  // invoice changed by the user to "Bill".
  void MakeEarlierFolderWithChangedInvoice() {
    runtime::SqliteDriver driver;
    layout::DesignDatabase designs(driver);
    designs.DefinitionsFile = data_.File("RptDes1.KDS");
    designs.DesignsFile = data_.File("NewRpt.KDS");
    designs.BuildTableNames();
    layout::ShippedReports earlier = EarlierVersion();
    ASSERT_EQ(earlier.MakeDesignFiles(designs), 0);
    int32_t invoice = earlier.designs.back().design.DESIGNNUMBER;
    runtime::DataFile& contents = *designs.File(layout::R_Content);
    ASSERT_EQ(contents.Open(), 0);
    ASSERT_EQ(contents.SetOrder(layout::ContentRecord::DESIGNNUMBERSEQ), 0);
    bool changed = false;
    while (!changed && contents.Next() == 0) {
      layout::ControlData control = layout::DecodeControl(layout::R_C.THEDATA);
      if (layout::R_C.DESIGNNUMBER != invoice || layout::R_C.RECORDTYPE[0] != 'C' ||
          control.picture != "Invoice") {
        continue;
      }
      control.picture = "Bill";
      layout::EncodeControl(control, layout::R_C.THEDATA);
      ASSERT_EQ(contents.Put(), 0);
      changed = true;
    }
    contents.Close();
    ASSERT_TRUE(changed);
  }
};

TEST_F(ShippedDesignsPrintTest, EachInvoiceNumbersItsPagesFromOneWithItsOwnCount) {
  {
    std::ofstream csv(data_.File("lines.csv"));
    csv << "INVL:INVOICENR,INVL:LINENR,INVL:ITEMNR,INVL:QUANTITY,INVL:PRICE\n";
    for (int line = 101; line <= 130; ++line) csv << "4," << line << ",1,1,5.49\n";
  }
  Run import = Ledora("import INVOICEL lines.csv");
  ASSERT_EQ(import.status, 0) << import.err;

  std::vector<std::string> pages = PdfPages("invoices --from 3 --to 5");
  ASSERT_EQ(pages.size(), 4u);
  const std::string counts[] = {"Page 1 of 1", "Page 1 of 2", "Page 2 of 2", "Page 1 of 1"};
  const int invoiceOf[] = {3, 4, 4, 5};
  for (size_t p = 0; p < pages.size(); ++p) {
    EXPECT_NE(pages[p].find(counts[p]), std::string::npos) << pages[p];
    // The footer's total is the page's own invoice's, also on an invoice's
    // last page, which ends only once the next invoice has been read.
    EXPECT_NE(pages[p].find(invoices_[invoiceOf[p] - 1].sales), std::string::npos) << pages[p];
  }
  EXPECT_NE(pages[1].find("Unit price"), std::string::npos);
  EXPECT_EQ(pages[2].find("Unit price"), std::string::npos);  // the head is on page 1 only
}

TEST_F(ShippedDesignsPrintTest, AFolderMadeEarlierPrintsTheNewDesignsAndKeepsAChangedOne) {
  MakeEarlierFolderWithChangedInvoice();
  Run list = Print("--list");
  EXPECT_EQ(list.out,
            "Customers\n  * Customer list\n    Test\nItems\n  * Standard\n"
            "Invoice List\n  * Standard\nInvoice\n  * Standard\n    Standard (new design)\n");

  std::vector<std::string> items = PdfPages("items");
  ASSERT_EQ(items.size(), 1u);
  EXPECT_NE(items[0].find("Printed on"), std::string::npos) << items[0];
  EXPECT_NE(items[0].find("Page 1 of 1"), std::string::npos) << items[0];

  std::vector<std::string> invoice = PdfPages("invoices --from 3 --to 3");
  ASSERT_EQ(invoice.size(), 1u);
  EXPECT_NE(invoice[0].find("Bill"), std::string::npos) << invoice[0];
  EXPECT_EQ(invoice[0].find("Page 1 of 1"), std::string::npos) << invoice[0];

  invoice = PdfPages("invoices --from 3 --to 3 --design 'Standard (new design)'");
  ASSERT_EQ(invoice.size(), 1u);
  EXPECT_NE(invoice[0].find("Page 1 of 1"), std::string::npos) << invoice[0];
  EXPECT_EQ(invoice[0].find("Bill"), std::string::npos) << invoice[0];
}

}  // namespace
}  // namespace ledora::testing
