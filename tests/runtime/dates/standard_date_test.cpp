#include "runtime/dates/standard_date.h"

#include <gtest/gtest.h>

namespace ledora::runtime {
namespace {

TEST(StandardDateTest, RangeEndsAndLeapDays) {
  EXPECT_EQ(DateFrom(1, 1, 1801), 4);
  EXPECT_EQ(DateFrom(12, 31, 1800), -1);
  EXPECT_EQ(DateFrom(12, 31, 9999), 2994626);
  EXPECT_EQ(DateFrom(1, 1, 10000), -1);
  EXPECT_EQ(DateFrom(2, 29, 1900), -1);
  EXPECT_EQ(DateFrom(3, 1, 2000) - DateFrom(2, 28, 2000), 2);
  EXPECT_EQ(DateFrom(2, 29, 2004) + 1, DateFrom(3, 1, 2004));
  EXPECT_EQ(DateFrom(2, 29, 2100), -1);
  EXPECT_EQ(DateFrom(2, 29, 2400) + 1, DateFrom(3, 1, 2400));
}

TEST(StandardDateTest, RejectsImpossibleMonthsAndDays) {
  EXPECT_EQ(DateFrom(0, 1, 1959), -1);
  EXPECT_EQ(DateFrom(13, 1, 1959), -1);
  EXPECT_EQ(DateFrom(4, 31, 1959), -1);
  EXPECT_EQ(DateFrom(4, 0, 1959), -1);
  EXPECT_EQ(DateFrom(4, -3, 1959), -1);
  EXPECT_EQ(DateFrom(-2147483647 - 1, 1, 1959), -1);
}

TEST(StandardDateTest, DatePartsRejectsNumbersOutsideTheRange) {
  CalendarDate parts{1, 2, 3};
  EXPECT_FALSE(DateParts(3, &parts));
  EXPECT_FALSE(DateParts(2994627, &parts));
  EXPECT_FALSE(DateParts(0, &parts));
  EXPECT_FALSE(DateParts(-5, &parts));
  EXPECT_EQ(parts.year, 1);  // untouched on failure
  ASSERT_TRUE(DateParts(4, &parts));
  EXPECT_EQ(parts.year, 1801);
  EXPECT_EQ(parts.month, 1);
  EXPECT_EQ(parts.day, 1);
  ASSERT_TRUE(DateParts(2994626, &parts));
  EXPECT_EQ(parts.year, 9999);
  EXPECT_EQ(parts.month, 12);
  EXPECT_EQ(parts.day, 31);
}

TEST(StandardDateTest, EveryDayRoundTripsThroughItsParts) {
  int32_t expected = 4;
  for (int year = 1801; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); ++day, ++expected) {
        int32_t date = DateFrom(month, day, year);
        ASSERT_EQ(date, expected) << year << "-" << month << "-" << day;
        CalendarDate parts;
        ASSERT_TRUE(DateParts(date, &parts));
        ASSERT_EQ(parts.year, year);
        ASSERT_EQ(parts.month, month);
        ASSERT_EQ(parts.day, day);
      }
    }
  }
  EXPECT_EQ(expected, kLastDate + 1);
}

TEST(StandardDateTest, TwoDigitYearsFollowTheWindow) {
  EXPECT_EQ(ExpandYear(18, 80, 1999), 2018);
  EXPECT_EQ(ExpandYear(19, 80, 1999), 1919);
  EXPECT_EQ(ExpandYear(9, 89, 1999), 2009);
  EXPECT_EQ(ExpandYear(10, 89, 1999), 1910);
  EXPECT_EQ(ExpandYear(99, 80, 1999), 1999);
  EXPECT_EQ(ExpandYear(0, 80, 2000), 2000);
  EXPECT_EQ(ExpandYear(20, 80, 2000), 1920);
  EXPECT_EQ(ExpandYear(19, 80, 2000), 2019);
  EXPECT_EQ(ExpandYear(100, 80, 2000), -1);
  EXPECT_EQ(ExpandYear(-1, 80, 2000), -1);
  EXPECT_EQ(DateFrom(10, 31, 59, 80, 1999), DateFrom(10, 31, 1959));
  EXPECT_EQ(DateFrom(1, 1, 18, 80, 1999), DateFrom(1, 1, 2018));
}

TEST(StandardDateTest, NegativeYearsAreNotTakenForTwoDigitYears) {
  EXPECT_EQ(DateFrom(1, 1, -5, 80, 2026), -1);
  EXPECT_EQ(DateFrom(1, 1, -5), -1);
}

TEST(StandardDateTest, WeekdayCountsFromASunday) {
  EXPECT_EQ(Weekday(DateFrom(1, 1, 1801)), 4);    // Thursday
  EXPECT_EQ(Weekday(DateFrom(10, 31, 1959)), 6);  // Saturday
  EXPECT_EQ(Weekday(DateFrom(1, 1, 2000)), 6);    // Saturday
  EXPECT_EQ(Weekday(0), -1);
}

TEST(StandardDateTest, PackedDateHoldsDayMonthAndLittleEndianYear) {
  uint8_t packed[4];
  ASSERT_TRUE(PackDate(DateFrom(10, 31, 1959), packed));
  EXPECT_EQ(packed[0], 31);
  EXPECT_EQ(packed[1], 10);
  EXPECT_EQ(packed[2], 1959 & 0xff);
  EXPECT_EQ(packed[3], 1959 >> 8);
  int32_t date = -7;
  ASSERT_TRUE(UnpackDate(packed, &date));
  EXPECT_EQ(date, DateFrom(10, 31, 1959));

  ASSERT_TRUE(PackDate(0, packed));
  EXPECT_EQ(packed[0] | packed[1] | packed[2] | packed[3], 0);
  ASSERT_TRUE(UnpackDate(packed, &date));
  EXPECT_EQ(date, 0);
}

TEST(StandardDateTest, PackedDateRejectsWhatIsNoDate) {
  uint8_t packed[4] = {9, 9, 9, 9};
  EXPECT_FALSE(PackDate(3, packed));
  EXPECT_EQ(packed[0], 9);
  int32_t date = 77;
  const uint8_t badMonth[4] = {1, 13, 0xa7, 0x07};
  const uint8_t badDay[4] = {30, 2, 0xd0, 0x07};
  const uint8_t shortYear[4] = {1, 1, 59, 0};  // year 59, not 1959 or 2059
  EXPECT_FALSE(UnpackDate(badMonth, &date));
  EXPECT_FALSE(UnpackDate(badDay, &date));
  EXPECT_FALSE(UnpackDate(shortYear, &date));
  EXPECT_EQ(date, 77);
}

}  // namespace
}  // namespace ledora::runtime
