#include "runtime/report/page_count.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(PageCountTest, TheFirstDigitRunTakesThePageAndTheSecondTheCount) {
  EXPECT_EQ(FormatPageOfPages("@pPage <<# of <<#p", 2, 3), "Page 2 of 3");
  EXPECT_EQ(FormatPageOfPages("@pSeite <<# von <<#P", 12, 140), "Seite 12 von 140");
  EXPECT_EQ(FormatPageOfPages("@p<<#/<<#p", 1, 1), "1/1");
}

TEST(PageCountTest, OneRunOrNoPatternShowsTheCountAlone) {
  EXPECT_EQ(FormatPageOfPages("@p<<#p", 2, 31), "31");
  EXPECT_EQ(FormatPageOfPages("@n3", 2, 31), " 31");
  EXPECT_EQ(FormatPageOfPages("", 2, 31), "31");
}

TEST(PageCountTest, ALongReportsNumbersWidenTheirPictureRatherThanOverflow) {
  EXPECT_EQ(FormatPageOfPages("@pPage <<# of <<#p", 1, 2632), "Page 1 of 2632");
  EXPECT_EQ(FormatPageOfPages("@pPage <<# of <<#p", 1000, 2632), "Page 1000 of 2632");
  EXPECT_EQ(FormatPageNumber("@pPage <<#p", 12345), "Page 12345");
  EXPECT_EQ(FormatPageNumber("@pPage <<#p", 7), "Page 7");
  EXPECT_EQ(FormatPageNumber("@n3", 1000), "###");  // not a pattern: the picture's own rule
}

TEST(PageCountTest, OnlyPageCountItemsAreFilledIn) {
  PageImage page;
  page.number = 2;
  PageItem item;
  item.text = "@pPage <<# of <<#p";
  EXPECT_EQ(ShownText(page, item), "@pPage <<# of <<#p");
  item.flags = FlagPageCount;
  EXPECT_EQ(ShownText(page, item), "Page 2 of 2");  // the document has not ended yet
  page.pages = 4;
  EXPECT_EQ(ShownText(page, item), "Page 2 of 4");
}

}  // namespace
}  // namespace ledora::runtime
