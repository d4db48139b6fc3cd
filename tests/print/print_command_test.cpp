// `ledora print` as scripts run it: every report type to PDF with its bound
// values in their pictures, the listing of designs, and the failures that
// leave no file behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/print/print_fixture.h"
#include "tests/support/command_output.h"

namespace ledora::testing {
namespace {

class PrintCommandTest : public PrintFixture {
 protected:
  // Prints REPORT to a PDF and gives its text; a failed print fails the test.
  std::string PrintToPdf(const std::string& report) {
    std::string pdf = data_.File("out.pdf");
    Run run = Print(report + " --pdf '" + pdf + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    return PdfText(pdf);
  }
  static void ExpectAll(const std::string& text, const std::vector<std::string>& wanted) {
    for (const std::string& value : wanted) {
      EXPECT_NE(text.find(value), std::string::npos) << "'" << value << "' in:\n" << text;
    }
  }
};

TEST_F(PrintCommandTest, EveryReportShowsItsValuesInTheirPictures) {
  ASSERT_FALSE(std::filesystem::exists(data_.File("RptDes1.KDS")));
  std::string text = PrintToPdf("items");
  EXPECT_TRUE(std::filesystem::exists(data_.File("RptDes1.KDS")));
  ExpectAll(text, {"Item List"});
  for (const SampleItem& item : items_) ExpectAll(text, {item.description, item.price});

  ExpectAll(PrintToPdf("customers"), {"Customer List", customerNames_[0], customerIds_[5]});
  ExpectAll(PrintToPdf("customers-by-name"), {"Customers by Name", customerNames_[3], telefax_[3]});
  ExpectAll(PrintToPdf("customers --design Test"), {"Customers by Name"});

  text = PrintToPdf("invoice-list");
  for (const SampleInvoice& invoice : invoices_) {
    ExpectAll(text, {invoice.date, invoice.sales, invoice.customer});
  }

  text = PrintToPdf("invoices --from 3 --to 5");
  EXPECT_EQ(Pages(text), 3);
  for (int i = 2; i <= 4; ++i) {
    ExpectAll(text, {invoices_[i].date, invoices_[i].sales, invoices_[i].customer});
    ExpectAll(text, invoices_[i].linePrices);
  }
  EXPECT_EQ(text.find(invoices_[5].date), std::string::npos);
}

TEST_F(PrintCommandTest, FailuresSayWhyAndLeaveNoFile) {
  std::string pdf = data_.File("none.pdf");
  Run run = Print("invoices --from 5 --to 3 --pdf '" + pdf + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.find("There are no records available to process."), 0u) << run.err;
  EXPECT_FALSE(std::filesystem::exists(pdf));

  run = Print("items --design Nothing --pdf '" + pdf + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Layout not found/selected"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_FALSE(std::filesystem::exists(pdf + ".part"));

  run = Print("items --printer no-such-queue");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no printer named no-such-queue"), std::string::npos) << run.err;

  for (const char* wrong : {"", "bills --pdf x.pdf", "items", "items --pdf a --printer b",
                            "items --from 1 --pdf x.pdf", "invoices --from x --pdf x.pdf"}) {
    EXPECT_EQ(Print(wrong).status, 2) << wrong;
  }
  EXPECT_FALSE(std::filesystem::exists(data_.File("x.pdf")));
}

TEST_F(PrintCommandTest, ADamagedDesignFileIsNamedWithItsFault) {
  ASSERT_EQ(Print("--list").status, 0);
  {
    std::fstream file(data_.File("NewRpt.KDS"), std::ios::in | std::ios::out | std::ios::binary);
    file.write("not a design file, damaged on a disk", 36);
  }
  for (const char* args : {"--list", "items --pdf out.pdf"}) {
    Run run = Print(args);
    EXPECT_EQ(run.status, 1) << args;
    EXPECT_NE(run.err.find("cannot read the design file NewRpt.KDS: Invalid Data File (36)"),
              std::string::npos)
        << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(data_.File("out.pdf")));
}

TEST_F(PrintCommandTest, SplitWritesOnePdfPerInvoiceTitledByItsNumber) {
  std::string folder = data_.File("sent");
  Run run = Print("invoices --from 3 --to 5 --split '" + folder + "'");
  ASSERT_EQ(run.status, 0) << run.err;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"3.pdf", "4.pdf", "5.pdf"}));
  for (int i = 2; i <= 4; ++i) {
    std::string pdf = folder + "/" + std::to_string(i + 1) + ".pdf";
    std::string text = PdfText(pdf);
    ExpectAll(text, {invoices_[i].date, invoices_[i].sales});
    EXPECT_EQ(text.find(invoices_[i == 2 ? 3 : 2].sales), std::string::npos);
    std::string info = CommandOutput("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Invoice " + std::to_string(i + 1) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Creator:         Ledora"), std::string::npos) << info;
  }
}

TEST_F(PrintCommandTest, SplitThatFailsLeavesTheFolderAsItWas) {
  std::string folder = data_.File("sent");
  Run run = Print("invoices --design Nothing --split '" + folder + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Layout not found/selected"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(folder));

  std::filesystem::create_directory(folder);
  std::ofstream(folder + "/4.pdf") << "older";
  EXPECT_EQ(Print("invoices --design Nothing --split '" + folder + "'").status, 1);
  std::ostringstream kept;
  kept << std::ifstream(folder + "/4.pdf").rdbuf();
  EXPECT_EQ(kept.str(), "older");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

  // A name taken by a folder stops the job before any invoice is written.
  std::filesystem::remove(folder + "/4.pdf");
  std::filesystem::create_directory(folder + "/4.pdf");
  run = Print("invoices --from 3 --to 5 --split '" + folder + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("4.pdf: not a file"), std::string::npos) << run.err;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

  for (const char* wrong : {"items --split d", "invoices --pdf a.pdf --split d"}) {
    EXPECT_EQ(Print(wrong).status, 2) << wrong;
  }
}

TEST_F(PrintCommandTest, ListShowsEveryTypeWithItsDesignsAndDefault) {
  Run run = Print("--list");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Customers\n  * Customer list\n    Test\nItems\n  * Standard\n"
            "Invoice List\n  * Standard\nInvoice\n  * Standard\n");
}

}  // namespace
}  // namespace ledora::testing
