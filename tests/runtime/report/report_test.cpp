#include "runtime/report/report.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/report/report_error.h"
#include "runtime/report/text_dump.h"
#include "runtime/system/runtime_error.h"
#include "tests/runtime/report/list_report.h"
#include "tests/runtime/report/report_dump.h"
#include "tests/support/temp_folder.h"

namespace ledora::runtime {
namespace {

using testing::ListReport;
using testing::PageLines;
using Lines = std::vector<std::string>;

// Detail lines of a page: everything between the header line and the footer and form lines.
Lines Details(const Lines& page) { return Lines(page.begin() + 1, page.end() - 2); }

// A customer number as the list's "@n6" picture shows it.
std::string Number(int n) {
  return n < 1000 ? std::to_string(n)
                  : std::to_string(n / 1000) + "," + std::to_string(n % 1000 + 1000).substr(1);
}

bool IsCustomer(const std::string& line) { return line.find("Customer ") != std::string::npos; }

PageLines PrintList(ListReport& list, int count) {
  TextDump dump;
  EXPECT_TRUE(list.Run(count));
  EXPECT_TRUE(list.report.Flush(dump));
  return testing::SplitDump(dump.text());
}

class ListReportTest : public ::testing::Test {
 protected:
  testing::TempFolder folder_;
  PreviewQueue queue_;  // outlives the report that points at it
  ListReport list_{folder_.path()};
};

TEST_F(ListReportTest, ThousandCustomersPaginateWithHeaderFooterAndForm) {
  PageLines pages = PrintList(list_, 1000);
  ASSERT_EQ(pages.size(), 30u);
  for (size_t p = 0; p < pages.size(); ++p) {
    ASSERT_GE(pages[p].size(), 4u) << p;
    EXPECT_EQ(pages[p].front(), "Customer list Page " + std::to_string(p + 1));
    EXPECT_EQ(pages[p][pages[p].size() - 2], "Confidential");
    EXPECT_EQ(pages[p].back(), "Printed by Ledora");
  }
  // Three groups of 2350 and the fourth heading leave room for 8 lines of 200 in 9000.
  Lines first = Details(pages[0]);
  ASSERT_EQ(first.size(), 4u + 38u);
  EXPECT_EQ(first[0], "Group 1");
  EXPECT_EQ(first[1], "1 Customer 1");
  EXPECT_EQ(first[11], "Group 2");
  EXPECT_EQ(first.back(), "38 Customer 38");
  EXPECT_EQ(Details(pages[1]).front(), "39 Customer 39");
  // Group 20's heading would end page 5 exactly; kept with its customers it opens page 6.
  EXPECT_EQ(Details(pages[4]).back(), "190 Customer 190");
  EXPECT_EQ(Details(pages[5]).front(), "Group 20");
}

TEST_F(ListReportTest, EveryCustomerPrintsOnceInOrder) {
  PageLines pages = PrintList(list_, 1000);
  int expected = 1;
  for (const Lines& page : pages) {
    for (const std::string& line : Details(page)) {
      if (!IsCustomer(line)) continue;
      EXPECT_EQ(line, Number(expected) + " Customer " + std::to_string(expected));
      ++expected;
    }
  }
  EXPECT_EQ(expected, 1001);
}

// Index of the page holding a detail line, and whether it is that page's first or last detail.
struct Where {
  size_t page = 0;
  bool first = false;
  bool last = false;
};
Where Find(const PageLines& pages, const std::string& line) {
  for (size_t p = 0; p < pages.size(); ++p) {
    Lines details = Details(pages[p]);
    for (size_t i = 0; i < details.size(); ++i) {
      if (details[i] == line) return {p, i == 0, i + 1 == details.size()};
    }
  }
  ADD_FAILURE() << "not printed: " << line;
  return {};
}

TEST_F(ListReportTest, PageBreaksBeforeAndAfterBands) {
  PageLines pages = PrintList(list_, 1000);
  for (int n : {250, 500, 750}) {
    std::string line = std::to_string(n) + " Customer " + std::to_string(n);
    EXPECT_TRUE(Find(pages, line).last) << line;
  }
  for (int group : {30, 60, 90}) {
    EXPECT_TRUE(Find(pages, "Group " + std::to_string(group)).first) << group;
  }
  EXPECT_TRUE(Find(pages, "1,000 Customer 1000").last);
  EXPECT_EQ(Find(pages, "1,000 Customer 1000").page, pages.size() - 1);
}

// Pages on which a group heading is not followed by two customers of its own.
int HeadingsLeftBehind(const PageLines& pages) {
  int broken = 0;
  for (const Lines& page : pages) {
    Lines details = Details(page);
    for (size_t i = 0; i < details.size(); ++i) {
      if (details[i].rfind("Group ", 0) == 0 &&
          (i + 2 >= details.size() || !IsCustomer(details[i + 1]) || !IsCustomer(details[i + 2]))) {
        ++broken;
      }
    }
  }
  return broken;
}

TEST_F(ListReportTest, GroupHeadingsStayWithTheirFirstCustomers) {
  EXPECT_EQ(HeadingsLeftBehind(PrintList(list_, 1000)), 0);

  // The same list without the keep leaves headings at page ends: the keep did the work.
  testing::TempFolder other;
  ListReport loose(other.path());
  loose.report.Band(ListReport::kHeading)->withNext = 0;
  EXPECT_GT(HeadingsLeftBehind(PrintList(loose, 1000)), 0);
}

TEST_F(ListReportTest, FlushAndDiscardRemoveThePageFiles) {
  PreviewQueue& queue = queue_;
  ASSERT_TRUE(list_.report.Open());
  list_.report.SetPageQueue(&queue);
  for (list_.number = 1; list_.number <= 60; ++list_.number) {
    ASSERT_TRUE(list_.report.Print(ListReport::kLine));
  }
  EXPECT_EQ(queue.size(), 1u);  // 45 lines fill a page; the second is still open
  ASSERT_TRUE(list_.report.EndReport());
  ASSERT_EQ(queue.size(), 2u);
  EXPECT_TRUE(std::filesystem::exists(queue[1].FILENAME));
  std::string file = queue[0].FILENAME;
  list_.report.Discard();
  EXPECT_TRUE(queue.empty());
  EXPECT_FALSE(std::filesystem::exists(file));
  list_.report.Close();
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(ListReportTest, ARunSpoolsAllItsPagesIntoOneFileThatAnotherRunStartsAfresh) {
  list_.report.SetPageQueue(&queue_);
  ASSERT_TRUE(list_.Run(200));
  ASSERT_EQ(queue_.size(), 6u);
  std::vector<std::filesystem::path> spools;
  for (auto& found : std::filesystem::recursive_directory_iterator(folder_.path())) {
    if (found.is_regular_file()) spools.push_back(found.path());
  }
  ASSERT_EQ(spools.size(), 1u);
  for (const PreviewQueueEntry& entry : queue_) EXPECT_EQ(entry.FILENAME, spools[0].string());
  EXPECT_EQ(queue_[0].OFFSET, 0);
  EXPECT_LT(queue_[4].OFFSET, queue_[5].OFFSET);

  list_.report.Close();
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));

  // Pages discarded mid-run take the spool with them; the pages after start a new one.
  ASSERT_TRUE(list_.report.Open());
  list_.report.SetPageQueue(&queue_);
  for (list_.number = 1; list_.number <= 120; ++list_.number) {
    ASSERT_TRUE(list_.report.Print(ListReport::kLine));
    if (list_.number == 60) list_.report.Discard();
  }
  ASSERT_TRUE(list_.report.EndReport());
  ASSERT_EQ(queue_.size(), 2u);
  EXPECT_EQ(queue_[0].OFFSET, 0);
  TextDump dump;
  EXPECT_TRUE(list_.report.Flush(dump));
  EXPECT_EQ(dump.pages(), 2);
  list_.report.Close();
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST_F(ListReportTest, ADamagedPageStopsTheFlushWithAnError) {
  PreviewQueue& queue = queue_;
  list_.report.SetPageQueue(&queue);
  ASSERT_TRUE(list_.Run(200));
  ASSERT_EQ(queue.size(), 6u);
  std::filesystem::resize_file(queue[1].FILENAME, queue[1].OFFSET + 40);
  TextDump dump;
  ClearError();
  EXPECT_FALSE(list_.report.Flush(dump));
  EXPECT_EQ(CurrentError().code, ErrorPageImageUnreadable);
  EXPECT_NE(CurrentError().fileErrorText.find("truncated"), std::string::npos);
  EXPECT_EQ(dump.pages(), 1);
  EXPECT_TRUE(queue.empty());

  // The report can run again after it is closed; an empty queue prints nothing.
  list_.report.Close();
  EXPECT_TRUE(list_.report.Flush(dump));
  EXPECT_EQ(dump.pages(), 1);
  ASSERT_TRUE(list_.Run(10));
  EXPECT_EQ(list_.report.PagesWritten(), 1);
}

// Counts the documents an output was given, to see that each one is ended.
struct CountingDump : TextDump {
  bool BeginDocument(const std::string& title) override {
    ++begun;
    return TextDump::BeginDocument(title);
  }
  bool EndDocument() override {
    ++ended;
    return true;
  }
  int begun = 0, ended = 0;
};

TEST_F(ListReportTest, PrintingDirectlySendsPagesAsTheyFinishAndCloseEndsTheLast) {
  CountingDump printer;
  list_.report.SetDirectOutput(&printer, "Customers");
  ASSERT_TRUE(list_.report.Open());
  for (list_.number = 1; list_.number <= 60; ++list_.number) {
    ASSERT_TRUE(list_.report.Print(ListReport::kLine));
  }
  EXPECT_EQ(printer.pages(), 1);
  EXPECT_EQ(printer.ended, 0);
  EXPECT_TRUE(list_.report.Close());
  EXPECT_EQ(printer.pages(), 2);
  EXPECT_EQ(printer.begun, 1);
  EXPECT_EQ(printer.ended, 1);
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));  // no page files on the way
}

TEST_F(ListReportTest, AQueueGivenLateStillReceivesTheEarlierPages) {
  ASSERT_TRUE(list_.report.Open());
  for (list_.number = 1; list_.number <= 60; ++list_.number) {
    ASSERT_TRUE(list_.report.Print(ListReport::kLine));
  }
  list_.report.SetPageQueue(&queue_);
  ASSERT_TRUE(list_.report.EndReport());
  ASSERT_EQ(queue_.size(), 2u);
  TextDump dump;
  ASSERT_TRUE(list_.report.Flush(dump));
  EXPECT_EQ(testing::SplitDump(dump.text())[0][1], "1");  // no names were set
}

// Customers 1 to 60 with "Page n of m" in the header, as two documents
// split after customer 50: pages 1-2 of 2, then page 1 of 1.
class CountedListTest : public ListReportTest {
 protected:
  CountedListTest() { list_.control(103)->kind = ReportPageCount; }  // the header's page number
  void Print() {
    ASSERT_TRUE(list_.report.Open());
    for (list_.number = 1; list_.number <= 60; ++list_.number) {
      if (list_.number == 51) {
        ASSERT_TRUE(list_.report.BreakDocument());
      }
      ASSERT_TRUE(list_.report.Print(ListReport::kLine));
    }
  }
  static Lines Headers(const PageLines& pages) {
    Lines headers;
    for (const Lines& page : pages) headers.push_back(page.front());
    return headers;
  }
  const Lines expected_{"Customer list Page 1 of 2", "Customer list Page 2 of 2",
                        "Customer list Page 1 of 1"};
};

TEST_F(CountedListTest, EachDocumentCountsItsOwnPagesInTheQueue) {
  list_.report.SetPageQueue(&queue_);
  Print();
  ASSERT_TRUE(list_.report.EndReport());
  TextDump dump;
  ASSERT_TRUE(list_.report.Flush(dump));
  EXPECT_EQ(Headers(testing::SplitDump(dump.text())), expected_);
}

TEST_F(CountedListTest, PrintingDirectlyHoldsCountedPagesUntilTheirDocumentEnds) {
  TextDump printer;
  list_.report.SetDirectOutput(&printer, "Customers");
  Print();
  EXPECT_EQ(printer.pages(), 2);  // the first document went out at the break
  EXPECT_TRUE(list_.report.Close());
  EXPECT_EQ(Headers(testing::SplitDump(printer.text())), expected_);
  EXPECT_TRUE(std::filesystem::is_empty(folder_.path()));
}

TEST(ReportTest, OperationsOutOfOrderOrOnUnknownNumbersFail) {
  Report report;
  ClearError();
  EXPECT_FALSE(report.Print(1));
  EXPECT_EQ(CurrentError().code, ErrorReportNotOpen);
  EXPECT_FALSE(report.EndReport());
  ASSERT_NE(report.AddBand(1, BandDetail), nullptr);
  ASSERT_NE(report.AddBand(2, BandPageHeader), nullptr);
  EXPECT_EQ(report.AddBand(1, BandDetail), nullptr);
  EXPECT_EQ(CurrentError().code, ErrorControlNumberInUse);
  EXPECT_EQ(report.CreateControl(2, ReportString, 1), nullptr);  // bands and controls share numbers
  EXPECT_EQ(report.CreateControl(10, ReportString, 3), nullptr);
  EXPECT_EQ(CurrentError().code, ErrorBandNotFound);
  EXPECT_EQ(report.Control(10), nullptr);
  EXPECT_EQ(CurrentError().code, ErrorControlNotFound);
  EXPECT_FALSE(report.SetPrintableArea(0, 0, 0, 100));
  EXPECT_FALSE(report.SetPaper(-1, 100));
  EXPECT_EQ(CurrentError().code, ErrorInvalidReportSetting);

  testing::TempFolder folder;
  report.SetPageFolder(folder.path());
  ASSERT_TRUE(report.Open());
  EXPECT_FALSE(report.Open());
  EXPECT_EQ(CurrentError().code, ErrorReportAlreadyOpen);
  EXPECT_FALSE(report.Print(2));  // headers print by themselves
  EXPECT_EQ(CurrentError().code, ErrorInvalidReportSetting);
  EXPECT_FALSE(report.Print(99));
  EXPECT_EQ(CurrentError().code, ErrorBandNotFound);
}

TEST(ReportTest, OpenFailsWhenThePagesHaveNowhereToGo) {
  Report report;
  report.SetPageFolder("/proc/no-pages-here");
  ClearError();
  EXPECT_FALSE(report.Open());
  EXPECT_EQ(CurrentError().code, ErrorPageImageWrite);
  EXPECT_FALSE(report.IsOpen());
}

TEST(ReportTest, PageFoldersAreTheOwnersAlone) {
  testing::TempFolder folder;
  Report report;
  report.SetPageFolder(folder.path());
  ASSERT_TRUE(report.Open());
  auto entry = std::filesystem::directory_iterator(folder.path());
  ASSERT_NE(entry, std::filesystem::directory_iterator());
  EXPECT_EQ(entry->status().permissions(), std::filesystem::perms::owner_all);
}

TEST(ReportTest, RemovingControlsKeepsTheBands) {
  Report report;
  report.AddBand(1, BandDetail);
  report.CreateControl(10, ReportString, 1);
  report.CreateControl(11, ReportBox, 1);
  EXPECT_TRUE(report.RemoveControl(10));
  EXPECT_FALSE(report.RemoveControl(10));
  EXPECT_EQ(report.Band(1)->controls, std::vector<int32_t>{11});
  report.RemoveAllControls();
  EXPECT_EQ(report.ControlCount(), 0);
  EXPECT_TRUE(report.Band(1)->controls.empty());
  EXPECT_NE(report.CreateControl(10, ReportString, 1), nullptr);  // the number is free again
}

TEST(ReportTest, UnsetPaperAndAreaAreA4WithHalfInchMarginsInAnyUnit) {
  Report report;
  EXPECT_EQ(report.areaWidth(), 8268 - 1000);
  report.SetUnit(ReportUnit::Millimetres);
  EXPECT_EQ(report.areaX(), 13);
  EXPECT_EQ(report.areaWidth(), 185);  // a band of width -1 is as wide as this
  report.SetOrientation(OrientationLandscape);
  EXPECT_EQ(report.areaHeight(), 185);
  ASSERT_TRUE(report.SetPrintableArea(20, 25, 175, 246));
  EXPECT_EQ(report.areaWidth(), 175);
}

TEST(ReportTest, LandscapeMillimetreReportTurnsThePaper) {
  testing::TempFolder folder;
  Report report;
  report.SetPageFolder(folder.path());
  report.SetUnit(ReportUnit::Millimetres);
  report.SetOrientation(OrientationLandscape);
  ASSERT_TRUE(report.SetPaper(210, 297));
  ASSERT_TRUE(report.SetPrintableArea(10, 10, 277, 190));
  report.AddBand(1, BandDetail)->height = 10;
  report.CreateControl(10, ReportString, 1)->text = "wide";
  ASSERT_TRUE(report.Open());
  ASSERT_TRUE(report.Print(1));
  ASSERT_TRUE(report.EndReport());

  struct Capture : TextDump {
    bool WritePage(const PageImage& page) override {
      pages.push_back(page);
      return true;
    }
    std::vector<PageImage> pages;
  } capture;
  ASSERT_TRUE(report.Flush(capture));
  ASSERT_EQ(capture.pages.size(), 1u);
  EXPECT_EQ(capture.pages[0].width, 11693);
  EXPECT_EQ(capture.pages[0].height, 8268);
  EXPECT_EQ(capture.pages[0].items[0].x, 394);
}

}  // namespace
}  // namespace ledora::runtime
