#include "runtime/qtreport/pdf_output.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>

#include "runtime/qtreport/page_queue_print.h"
#include "runtime/qtreport/pdf_subset_names.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "runtime/report/report_error.h"
#include "runtime/report/text_dump.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/report/list_report.h"
#include "tests/runtime/report/report_dump.h"
#include "tests/support/command_output.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using Words = std::vector<std::string>;

Words Split(const std::string& text) {
  std::istringstream in(text);
  Words words;
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Words of each page of a PDF, as pdftotext reads them in layout order.
std::vector<Words> PdfPages(const std::string& pdf) {
  std::string text = testing::CommandOutput("pdftotext -layout '" + pdf + "' -");
  std::vector<Words> pages;
  size_t start = 0, end;
  while ((end = text.find('\f', start)) != std::string::npos) {
    pages.push_back(Split(text.substr(start, end - start)));
    start = end + 1;
  }
  return pages;
}

class PdfOutputTest : public ::testing::Test {
 protected:
  // Runs the list report twice, to a text dump and to PDF, measured with real fonts.
  void PrintList(int customers, std::string* dump, const std::string& pdf) {
    TextDump text;
    PdfOutput file(pdf);
    for (PageOutput* output : std::initializer_list<PageOutput*>{&text, &file}) {
      testing::ListReport list(folder_.path());
      list.report.SetFontMetrics(&metrics_);
      ASSERT_TRUE(list.Run(customers));
      ASSERT_TRUE(list.report.Flush(*output, "Customers"));
    }
    *dump = text.text();
  }

  testing::TempFolder folder_;
  QtFontMetrics metrics_;
};

TEST_F(PdfOutputTest, AThousandCustomerListReadsBackAsTheSameTextInOrder) {
  std::string dump, pdf = folder_.File("list.pdf");
  PrintList(1000, &dump, pdf);
  testing::PageLines dumped = testing::SplitDump(dump);
  std::vector<Words> read = PdfPages(pdf);
  ASSERT_EQ(dumped.size(), 30u);
  ASSERT_EQ(read.size(), dumped.size());
  for (size_t p = 0; p < read.size(); ++p) {
    Words expected;
    for (const std::string& line : dumped[p]) {
      for (std::string& word : Split(line)) expected.push_back(std::move(word));
    }
    ASSERT_EQ(read[p], expected) << "page " << p + 1;
  }
}

TEST_F(PdfOutputTest, FontsAreEmbeddedAndMappedToTheInstalledFamilies) {
  std::string dump, pdf = folder_.File("fonts.pdf");
  PrintList(20, &dump, pdf);
  std::string fonts = testing::CommandOutput("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("LiberationSans"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("LiberationSans-Bold"), std::string::npos) << fonts;
  for (const std::string& line : Split(fonts)) EXPECT_NE(line, "Arial");
  std::istringstream rows(fonts);
  std::string row;
  int fontRows = 0;
  while (std::getline(rows, row)) {
    if (row.find("LiberationSans") == std::string::npos) continue;
    ++fontRows;
    Words columns = Split(row);
    // name type encoding emb sub uni object ID: emb must be "yes"
    ASSERT_GE(columns.size(), 7u) << row;
    EXPECT_EQ(columns[columns.size() - 5], "yes") << row;
  }
  EXPECT_GE(fontRows, 2);
}

// Qt embeds only the glyphs used; the fonts' names must say so, and the
// file must stay whole once they do.
TEST_F(PdfOutputTest, FontsAreNamedAsTheSubsetsTheyAre) {
  std::string dump, pdf = folder_.File("subsets.pdf");
  PrintList(200, &dump, pdf);
  std::string fonts = testing::CommandOutput("pdffonts '" + pdf + "' 2>&1");
  std::istringstream rows(fonts);
  std::string row;
  int subsets = 0;
  while (std::getline(rows, row)) {
    if (row.find("Liberation") == std::string::npos) continue;
    Words columns = Split(row);
    ASSERT_GE(columns.size(), 7u) << row;
    EXPECT_EQ(columns[0].find('+'), 6u) << row;
    EXPECT_EQ(columns[columns.size() - 4], "yes") << row;
    ++subsets;
  }
  EXPECT_GE(subsets, 2) << fonts;
  EXPECT_EQ(fonts.find("Error"), std::string::npos) << fonts;
  std::string text = testing::CommandOutput("pdftotext '" + pdf + "' - 2>&1");
  EXPECT_EQ(text.find("Error"), std::string::npos) << text.substr(0, 400);
  EXPECT_EQ(PdfPages(pdf).size(), 6u);
}

TEST_F(PdfOutputTest, AFileNotLaidOutAsQtWritesIsLeftAsItIs) {
  std::string file = folder_.File("odd.pdf");
  const std::string odd = "%PDF-1.4\n/FontName /ABCDEF+Sans\n/BaseFont /Sans\nno table\n";
  std::FILE* out = std::fopen(file.c_str(), "wb");
  std::fputs(odd.c_str(), out);
  std::fclose(out);
  std::string error;
  EXPECT_TRUE(NameFontSubsets(file, &error)) << error;
  EXPECT_EQ(testing::CommandOutput("cat '" + file + "'"), odd);
}

TEST_F(PdfOutputTest, WindowsTextBecomesUnicodeText) {
  Report report;
  report.SetPageFolder(folder_.path());
  report.SetFontMetrics(&metrics_);
  report.AddBand(1, BandDetail);
  report.CreateControl(10, ReportString, 1)->text =
      "Gr\xFC\xDF"
      "e 12 \x80";
  ASSERT_TRUE(report.Open());
  ASSERT_TRUE(report.Print(1));
  ASSERT_TRUE(report.EndReport());
  PdfOutput file(folder_.File("text.pdf"));
  ASSERT_TRUE(report.Flush(file));
  EXPECT_EQ(PdfPages(folder_.File("text.pdf")), (std::vector<Words>{{"Grüße", "12", "€"}}));
}

TEST_F(PdfOutputTest, AFileThatCannotBeWrittenFailsBeforeAnyPage) {
  PdfOutput file(folder_.File("no/such/folder/out.pdf"));
  ClearError();
  EXPECT_FALSE(file.BeginDocument("x"));
  EXPECT_EQ(CurrentError().code, ErrorPrintFailed);
  EXPECT_FALSE(file.WritePage(PageImage{1, 8500, 11000, {}, {}}));
  EXPECT_TRUE(file.EndDocument());
}

// The preview's pages go to PDF or a printer and stay for the preview.
TEST_F(PdfOutputTest, APageQueueIsSavedOrPrintedAndKeepsItsFiles) {
  Report report;
  report.SetPageFolder(folder_.path());
  report.AddBand(1, BandDetail);
  ReportControl* text = report.CreateControl(10, ReportString, 1);
  PreviewQueue queue;
  ASSERT_TRUE(report.Open());
  report.SetPageQueue(&queue);
  for (const char* words : {"first page", "second page"}) {
    text->text = words;
    report.BreakPage();
    ASSERT_TRUE(report.Print(1));
  }
  ASSERT_TRUE(report.EndReport());
  std::string error;
  ASSERT_TRUE(SavePageQueueAsPdf(queue, folder_.File("queue.pdf"), "Queue", &error)) << error;
  EXPECT_EQ(PdfPages(folder_.File("queue.pdf")),
            (std::vector<Words>{{"first", "page"}, {"second", "page"}}));
  ASSERT_EQ(queue.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(queue[1].FILENAME));
  EXPECT_FALSE(PrintPageQueue(queue, "no-such-printer-queue", "Queue", &error));
  EXPECT_NE(error.find("no printer named no-such-printer-queue"), std::string::npos) << error;
  EXPECT_EQ(CurrentError().code, ErrorPrinterNotAvailable);
  EXPECT_FALSE(SavePageQueueAsPdf(queue, folder_.File("no/folder/x.pdf"), "Queue", &error));
  report.Discard();
}

}  // namespace
}  // namespace ledora::runtime
