#include "runtime/dates/date_picture.h"

#include <gtest/gtest.h>

#include "runtime/dates/standard_date.h"

namespace ledora::runtime {
namespace {

std::string Show(std::string_view picture, int32_t date) {
  std::string error;
  auto compiled = DatePicture::Compile(picture, &error);
  if (!compiled) return "invalid: " + error;
  return compiled->Format(date);
}

// Trailing blanks left where a month name closed up.
std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

const int32_t kHalloween1959 = DateFrom(10, 31, 1959);
const int32_t kFifthJanuary1959 = DateFrom(1, 5, 1959);

TEST(DatePictureFormatTest, NumericFormats) {
  EXPECT_EQ(Show("@D1", kHalloween1959), "10/31/59");
  EXPECT_EQ(Show("@D2", kHalloween1959), "10/31/1959");
  EXPECT_EQ(Show("@D5", kHalloween1959), "31/10/59");
  EXPECT_EQ(Show("@D6", kHalloween1959), "31/10/1959");
  EXPECT_EQ(Show("@D9", kHalloween1959), "59/10/31");
  EXPECT_EQ(Show("@D10", kHalloween1959), "1959/10/31");
  EXPECT_EQ(Show("@D11", kHalloween1959), "591031");
  EXPECT_EQ(Show("@D12", kHalloween1959), "19591031");
  EXPECT_EQ(Show("@D13", kHalloween1959), "10/59");
  EXPECT_EQ(Show("@D14", kHalloween1959), "10/1959");
  EXPECT_EQ(Show("@D15", kHalloween1959), "59/10");
  EXPECT_EQ(Show("@D16", kHalloween1959), "1959/10");
}

TEST(DatePictureFormatTest, MonthNameFormats) {
  EXPECT_EQ(Show("@D3", kHalloween1959), "OCT 31,1959");
  EXPECT_EQ(Show("@D7", kHalloween1959), "31 OCT 59");
  EXPECT_EQ(Show("@D8", kHalloween1959), "31 OCT 1959");
  EXPECT_EQ(Show("@D4", kHalloween1959), "October 31, 1959     ");
  EXPECT_EQ(Trimmed(Show("@D4", DateFrom(5, 1, 2000))), "May  1, 2000");
  EXPECT_EQ(Trimmed(Show("@D4", DateFrom(9, 30, 2000))), "September 30, 2000");
}

TEST(DatePictureFormatTest, LeadingZerosAndFill) {
  EXPECT_EQ(Show("@D1", kFifthJanuary1959), " 1/05/59");
  EXPECT_EQ(Show("@D01", kFifthJanuary1959), "01/05/59");
  EXPECT_EQ(Show("@D06.", kHalloween1959), "31.10.1959");
  EXPECT_EQ(Show("@D*1", kFifthJanuary1959), "*1/*5/59");
  EXPECT_EQ(Show("@D_5", kFifthJanuary1959), " 5/ 1/59");
  EXPECT_EQ(Show("@D1", DateFrom(1, 1, 2000)), " 1/01/00");
  EXPECT_EQ(Show("@D*1", DateFrom(1, 1, 2000)), "*1/*1/*0");
}

TEST(DatePictureFormatTest, SeparatorsReplaceEverySeparatorPosition) {
  EXPECT_EQ(Show("@D1-", kHalloween1959), "10-31-59");
  EXPECT_EQ(Show("@D1_", kHalloween1959), "10 31 59");
  EXPECT_EQ(Show("@D1`", kHalloween1959), "10,31,59");
  EXPECT_EQ(Show("@D7-", kHalloween1959), "31-OCT-59");
  EXPECT_EQ(Show("@D3.", kHalloween1959), "OCT 31.1959");
  EXPECT_EQ(Show("@D11.", kHalloween1959), "591031");
}

TEST(DatePictureFormatTest, ZeroAndInvalidDates) {
  EXPECT_EQ(Show("@D2B", 0), "          ");
  EXPECT_EQ(Show("@D1", 0), "  /  /  ");
  EXPECT_EQ(Show("@D1B", 3), "  /  /  ");
  EXPECT_EQ(Show("@D1", kLastDate + 1), "  /  /  ");
  EXPECT_EQ(Show("@D3", 0), "   ,       ");
  EXPECT_EQ(Show("@D1", -2147483647 - 1), "  /  /  ");
}

TEST(DatePictureCompileTest, TypeLetterAndBlankFlagIgnoreCase) {
  EXPECT_EQ(Show("@d6", kHalloween1959), "31/10/1959");
  EXPECT_EQ(Show("d6", kHalloween1959), "31/10/1959");
  EXPECT_EQ(Show("@d6b", 0), "          ");
  EXPECT_EQ(Show("@D6    ", kHalloween1959), "31/10/1959");
}

TEST(DatePictureCompileTest, RejectsMalformedPictures) {
  for (const char* bad : {"", "@", "@D", "@DB", "@D0", "@D00", "@D19", "@D99", "@D123", "@D1x",
                          "@D1..", "@D1<5<5", "@D1<123", "@N12.2", "@T1", "@D 1", "@D1.-"}) {
    std::string error;
    EXPECT_EQ(DatePicture::Compile(bad, &error), nullptr) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  EXPECT_EQ(DatePicture::Compile("@D19"), nullptr);  // no error text wanted
}

TEST(DatePictureCompileTest, YearWindowFromThePicture) {
  EXPECT_EQ(DatePicture::Compile("@D1")->window(), 80);
  EXPECT_EQ(DatePicture::Compile("@D1<30")->window(), 30);
  EXPECT_EQ(DatePicture::Compile("@D1<")->window(), 80);
  EXPECT_EQ(DatePicture::Compile("@D1>10")->window(), 89);
  EXPECT_EQ(DatePicture::Compile("@D1>0")->window(), 19);
  auto both = DatePicture::Compile("@d2.>10");
  ASSERT_NE(both, nullptr);
  EXPECT_EQ(both->window(), 89);
  EXPECT_EQ(both->Format(kHalloween1959), "10.31.1959");
  EXPECT_EQ(DatePicture::Compile("@d2>10.")->Format(kHalloween1959), "10.31.1959");
}

TEST(DatePictureDeformatTest, ReadsWhatItPrints) {
  int32_t date = 0;
  auto d1 = DatePicture::Compile("@D1");
  ASSERT_TRUE(d1->Deformat("10/31/59", &date, 1999));
  EXPECT_EQ(date, kHalloween1959);
  ASSERT_TRUE(d1->Deformat(" 1/05/59", &date, 1999));
  EXPECT_EQ(date, kFifthJanuary1959);
  ASSERT_TRUE(DatePicture::Compile("@D4")->Deformat("October 31, 1959", &date));
  EXPECT_EQ(date, kHalloween1959);
  ASSERT_TRUE(DatePicture::Compile("@D7")->Deformat("5 jan 59", &date, 1999));
  EXPECT_EQ(date, kFifthJanuary1959);
  ASSERT_TRUE(DatePicture::Compile("@D3")->Deformat("OCTOBER 31,1959", &date));
  EXPECT_EQ(date, kHalloween1959);
}

TEST(DatePictureDeformatTest, TwoDigitYearsUseThePictureWindow) {
  int32_t date = 0;
  ASSERT_TRUE(DatePicture::Compile("@D1")->Deformat("1/1/18", &date, 1999));
  EXPECT_EQ(date, DateFrom(1, 1, 2018));
  ASSERT_TRUE(DatePicture::Compile("@D1")->Deformat("1/1/19", &date, 1999));
  EXPECT_EQ(date, DateFrom(1, 1, 1919));
  ASSERT_TRUE(DatePicture::Compile("@D2>10")->Deformat("1/1/09", &date, 1999));
  EXPECT_EQ(date, DateFrom(1, 1, 2009));
  ASSERT_TRUE(DatePicture::Compile("@D2>10")->Deformat("1/1/10", &date, 1999));
  EXPECT_EQ(date, DateFrom(1, 1, 1910));
  // Four typed digits are a year as written.
  ASSERT_TRUE(DatePicture::Compile("@D1")->Deformat("1/1/1919", &date, 1999));
  EXPECT_EQ(date, DateFrom(1, 1, 1919));
  EXPECT_FALSE(DatePicture::Compile("@D2")->Deformat("1/1/0059", &date, 1999));
}

TEST(DatePictureDeformatTest, DigitsTypedWithoutSeparators) {
  int32_t date = 0;
  ASSERT_TRUE(DatePicture::Compile("@D6")->Deformat("31101959", &date));
  EXPECT_EQ(date, kHalloween1959);
  ASSERT_TRUE(DatePicture::Compile("@D6")->Deformat("311059", &date, 1999));
  EXPECT_EQ(date, kHalloween1959);
  ASSERT_TRUE(DatePicture::Compile("@D11")->Deformat("591031", &date, 1999));
  EXPECT_EQ(date, kHalloween1959);
  ASSERT_TRUE(DatePicture::Compile("@D14")->Deformat("101959", &date));
  EXPECT_EQ(date, DateFrom(10, 1, 1959));
  EXPECT_FALSE(DatePicture::Compile("@D6")->Deformat("3110195", &date));
  EXPECT_FALSE(DatePicture::Compile("@D3")->Deformat("31101959", &date));
}

TEST(DatePictureDeformatTest, BlankTextIsNoDate) {
  int32_t date = 123;
  auto d1 = DatePicture::Compile("@D1");
  ASSERT_TRUE(d1->Deformat("", &date));
  EXPECT_EQ(date, 0);
  date = 123;
  ASSERT_TRUE(d1->Deformat(d1->Format(0), &date));
  EXPECT_EQ(date, 0);
}

TEST(DatePictureDeformatTest, RejectsWhatCannotBeADate) {
  auto d6 = DatePicture::Compile("@D6");
  int32_t date = 42;
  for (const char* bad :
       {"31/02/1959", "32/10/1959", "31/13/1959", "x", "31/10", "1/2/3/4", "31/oct/1959x",
        "31/10/1800", "310/10/1959", "31/10/19590", "99999999999999999999",
        "31\xe9"
        "10\xe9"
        "1959"}) {
    EXPECT_FALSE(d6->Deformat(bad, &date)) << bad;
  }
  EXPECT_FALSE(DatePicture::Compile("@D4")->Deformat("Octember 31, 1959", &date));
  EXPECT_FALSE(DatePicture::Compile("@D4")->Deformat("Ma 31, 1959", &date));
  EXPECT_EQ(date, 42);
}

TEST(DatePictureDeformatTest, NumericFormatsRoundTripOverASampleOfDays) {
  for (int format : {1, 2, 5, 6, 9, 10, 11, 12}) {
    for (const char* extra : {"", "0", "_", "*"}) {
      std::string text = std::string("@D") + extra + std::to_string(format);
      auto picture = DatePicture::Compile(text);
      ASSERT_NE(picture, nullptr) << text;
      for (int32_t date = kFirstDate; date <= kLastDate; date += 997) {
        int32_t back = 0;
        std::string shown = picture->Format(date);
        CalendarDate parts;
        DateParts(date, &parts);
        // Two-digit years come back within the window around the year shown.
        ASSERT_TRUE(picture->Deformat(shown, &back, parts.year)) << text << " " << shown;
        ASSERT_EQ(back, date) << text << " " << shown;
      }
    }
  }
}

TEST(DatePictureDeformatTest, MonthYearFormatsReadTheFirstOfTheMonth) {
  int32_t date = 0;
  ASSERT_TRUE(DatePicture::Compile("@D16")->Deformat("1959/10", &date));
  EXPECT_EQ(date, DateFrom(10, 1, 1959));
}

}  // namespace
}  // namespace ledora::runtime
