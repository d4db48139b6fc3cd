#include "runtime/report/paginator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ledora::runtime {
namespace {

// Pages kept in memory, as their detail texts top to bottom.
class Pages : public PageSink, public PageBands {
 public:
  bool TakePage(PageImage page) override {
    pages.push_back(std::move(page));
    return true;
  }
  bool DocumentEnded(int32_t count) override {
    documents.push_back(count);
    return true;
  }
  bool LayOutPageBand(BandKind kind, LaidOutBand* band) override {
    if (!decorate) return false;
    band->x = 100;
    band->y = kind == BandPageFooter ? 11000 : 100;
    band->items.push_back(Text(kind == BandPageForm     ? "form"
                               : kind == BandPageHeader ? "header"
                                                        : "footer"));
    return true;
  }
  const std::vector<ReportFont>& Fonts() override { return fonts; }

  static PageItem Text(std::string text) {
    PageItem item;
    item.text = std::move(text);
    return item;
  }
  std::vector<std::string> Texts(size_t page) const {
    std::vector<std::string> out;
    for (const PageItem& item : pages.at(page).items) out.push_back(item.text);
    return out;
  }

  bool decorate = false;
  std::vector<ReportFont> fonts{{"Arial", 400, 10, 0}};
  std::vector<PageImage> pages;
  std::vector<int32_t> documents;  // the length of each ended document
};

LaidOutBand Band(const std::string& text, int32_t height = 100) {
  LaidOutBand band;
  band.height = height;
  band.items.push_back(Pages::Text(text));
  return band;
}

class PaginatorTest : public ::testing::Test {
 protected:
  PaginatorTest() : paginator_(Frame(), &pages_, &pages_) {}
  static PageFrame Frame() { return {8000, 12000, 500, 1000, 7000, 1000}; }

  // Lines "1" to "n", 100 high: ten fill the printable area exactly.
  void PrintLines(int from, int to) {
    for (int i = from; i <= to; ++i) ASSERT_TRUE(paginator_.Place(Band(std::to_string(i))));
  }
  std::vector<std::string> Numbers(int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i) out.push_back(std::to_string(i));
    return out;
  }

  Pages pages_;
  Paginator paginator_;
};

TEST_F(PaginatorTest, FillsThePrintableAreaAndFlowsOnToNewPages) {
  PrintLines(1, 25);
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 3u);
  EXPECT_EQ(pages_.Texts(0), Numbers(1, 10));  // the tenth ends exactly at the bottom
  EXPECT_EQ(pages_.Texts(2), Numbers(21, 25));
  EXPECT_EQ(pages_.pages[0].items[0].y, 1000);
  EXPECT_EQ(pages_.pages[0].items[9].y, 1900);
  EXPECT_EQ(pages_.pages[0].items[0].x, 500);
  EXPECT_EQ(pages_.pages[2].number, 3);
  EXPECT_EQ(pages_.pages[2].width, 8000);
}

TEST_F(PaginatorTest, PageBreaksNeverLeaveAnEmptyPage) {
  paginator_.BreakPage();
  LaidOutBand first = Band("1");
  first.pageBefore = true;
  ASSERT_TRUE(paginator_.Place(first));
  LaidOutBand second = Band("2");
  second.pageAfter = true;
  ASSERT_TRUE(paginator_.Place(second));
  PrintLines(3, 3);
  LaidOutBand fourth = Band("4");
  fourth.pageBefore = true;
  fourth.pageAfter = true;
  ASSERT_TRUE(paginator_.Place(fourth));
  paginator_.BreakPage();
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 3u);
  EXPECT_EQ(pages_.Texts(0), Numbers(1, 2));
  EXPECT_EQ(pages_.Texts(1), Numbers(3, 3));
  EXPECT_EQ(pages_.Texts(2), Numbers(4, 4));
}

TEST_F(PaginatorTest, NothingPrintedMakesNoPage) {
  ASSERT_TRUE(paginator_.Finish());
  EXPECT_TRUE(pages_.pages.empty());
}

TEST_F(PaginatorTest, KeepWithNextTakesTheHeadingToTheNextPage) {
  PrintLines(1, 9);
  LaidOutBand heading = Band("heading", 50);
  heading.withNext = 1;
  ASSERT_TRUE(paginator_.Place(heading));
  PrintLines(10, 11);
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 2u);
  EXPECT_EQ(pages_.Texts(0), Numbers(1, 9));
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"heading", "10", "11"}));
  EXPECT_EQ(pages_.pages[1].items[1].y, 1050);
}

TEST_F(PaginatorTest, KeepWithNextCountsSeveralBands) {
  PrintLines(1, 8);
  LaidOutBand heading = Band("heading", 50);
  heading.withNext = 2;
  ASSERT_TRUE(paginator_.Place(heading));
  PrintLines(9, 10);  // 9 still fits, 10 does not: both go with the heading
  ASSERT_TRUE(paginator_.Finish());
  EXPECT_EQ(pages_.Texts(0), Numbers(1, 8));
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"heading", "9", "10"}));
}

TEST_F(PaginatorTest, KeepWithPriorTakesTheBandsBeforeAlong) {
  PrintLines(1, 10);
  LaidOutBand total = Band("total");
  total.withPrior = 2;
  ASSERT_TRUE(paginator_.Place(total));
  ASSERT_TRUE(paginator_.Finish());
  EXPECT_EQ(pages_.Texts(0), Numbers(1, 8));
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"9", "10", "total"}));
}

TEST_F(PaginatorTest, AGroupThatFillsAWholePageIsBrokenNotCarried) {
  for (int i = 1; i <= 25; ++i) {
    LaidOutBand band = Band(std::to_string(i));
    band.withPrior = 1;  // everything chained together
    ASSERT_TRUE(paginator_.Place(band));
  }
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 3u);
  EXPECT_EQ(pages_.Texts(1), Numbers(11, 20));
}

TEST_F(PaginatorTest, AGroupTooTallForAnEmptyPageIsBrokenNotCarried) {
  PrintLines(1, 2);
  LaidOutBand big = Band("big", 800);
  big.withNext = 1;
  ASSERT_TRUE(paginator_.Place(big));
  LaidOutBand next = Band("next", 300);
  ASSERT_TRUE(paginator_.Place(next));
  ASSERT_TRUE(paginator_.Finish());
  EXPECT_EQ(pages_.Texts(0), (std::vector<std::string>{"1", "2", "big"}));
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"next"}));
}

TEST_F(PaginatorTest, ABandTallerThanThePagePrintsAloneOnItsPage) {
  PrintLines(1, 1);
  ASSERT_TRUE(paginator_.Place(Band("huge", 5000)));
  PrintLines(2, 2);
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 3u);
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"huge"}));
}

TEST_F(PaginatorTest, FixedBandsPrintAtTheirPlaceAndStayWhenOthersMove) {
  PrintLines(1, 9);
  LaidOutBand stamp = Band("stamp", 500);
  stamp.absolute = true;
  stamp.x = 200;
  stamp.y = 5000;
  ASSERT_TRUE(paginator_.Place(stamp));
  PrintLines(10, 10);  // still fits: the fixed band took no room in the flow
  LaidOutBand total = Band("total");
  total.withPrior = 1;
  ASSERT_TRUE(paginator_.Place(total));
  ASSERT_TRUE(paginator_.Finish());
  std::vector<std::string> first = Numbers(1, 9);
  first.push_back("stamp");
  EXPECT_EQ(pages_.Texts(0), first);
  EXPECT_EQ(pages_.pages[0].items[9].x, 200);
  EXPECT_EQ(pages_.pages[0].items[9].y, 5000);
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"10", "total"}));
}

TEST_F(PaginatorTest, EveryPageHasFormHeaderAndFooterAroundTheDetails) {
  pages_.decorate = true;
  PrintLines(1, 12);
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 2u);
  std::vector<std::string> second{"form", "header", "11", "12", "footer"};
  EXPECT_EQ(pages_.Texts(1), second);
  EXPECT_EQ(pages_.pages[1].items.back().y, 11000);
  EXPECT_EQ(pages_.pages[1].fonts, pages_.fonts);
}

TEST_F(PaginatorTest, PageNumbersFollowABandThatMoves) {
  PrintLines(1, 10);
  LaidOutBand numbered = Band("@n3");
  numbered.withPrior = 1;
  numbered.pageNumberItems = {0};
  ASSERT_TRUE(paginator_.Place(numbered));
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_EQ(pages_.pages.size(), 2u);
  EXPECT_EQ(pages_.Texts(1), (std::vector<std::string>{"10", "  2"}));
}

TEST_F(PaginatorTest, EachDocumentNumbersItsPagesFromOneAndReportsItsLength) {
  PrintLines(1, 15);
  paginator_.BreakDocument();
  PrintLines(16, 18);
  paginator_.BreakDocument();
  paginator_.BreakDocument();  // twice on one break: still one document
  PrintLines(19, 19);
  ASSERT_TRUE(paginator_.Finish());
  ASSERT_TRUE(paginator_.Finish());  // a second end reports nothing more
  std::vector<int32_t> numbers;
  for (const PageImage& page : pages_.pages) numbers.push_back(page.number);
  EXPECT_EQ(numbers, (std::vector<int32_t>{1, 2, 1, 1}));
  EXPECT_EQ(pages_.documents, (std::vector<int32_t>{2, 1, 1}));
}

TEST_F(PaginatorTest, PageCountsAreMarkedAndLeftForTheDrawing) {
  LaidOutBand counted = Band("@pPage <<# of <<#p");
  counted.pageCountItems = {0};
  ASSERT_TRUE(paginator_.Place(counted));
  ASSERT_TRUE(paginator_.Finish());
  EXPECT_EQ(pages_.pages[0].items[0].flags, FlagPageCount);
  EXPECT_EQ(pages_.pages[0].items[0].text, "@pPage <<# of <<#p");
}

}  // namespace
}  // namespace ledora::runtime
