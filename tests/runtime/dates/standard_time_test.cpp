#include "runtime/dates/standard_time.h"

#include <gtest/gtest.h>

#include "runtime/dates/local_clock.h"
#include "runtime/dates/standard_date.h"

namespace ledora::runtime {
namespace {

TEST(StandardTimeTest, RangeEnds) {
  EXPECT_EQ(TimeFrom(0, 0, 0, 0), 1);
  EXPECT_EQ(TimeFrom(1, 0, 0, 0), 360001);
  EXPECT_EQ(TimeFrom(23, 59, 59, 99), 8640000);
  ClockTime parts;
  ASSERT_TRUE(TimeParts(8640000, &parts));
  EXPECT_EQ(parts.hours, 23);
  EXPECT_EQ(parts.minutes, 59);
  EXPECT_EQ(parts.seconds, 59);
  EXPECT_EQ(parts.hundredths, 99);
  ASSERT_TRUE(TimeParts(1, &parts));
  EXPECT_EQ(parts.hours + parts.minutes + parts.seconds + parts.hundredths, 0);
  EXPECT_FALSE(TimeParts(8640001, &parts));
  EXPECT_FALSE(TimeParts(0, &parts));
  EXPECT_FALSE(TimeParts(-1, &parts));
}

TEST(StandardTimeTest, TimeFromRejectsPartsOutOfRange) {
  EXPECT_EQ(TimeFrom(0, 60, 0, 0), -1);
  EXPECT_EQ(TimeFrom(0, 0, 60, 0), -1);
  EXPECT_EQ(TimeFrom(0, 0, 0, 100), -1);
  // Hours past the day or negative parts would give numbers that no picture
  // and no TimeParts accepts.
  EXPECT_EQ(TimeFrom(24, 0, 0, 0), -1);
  EXPECT_EQ(TimeFrom(0, -1, 0, 0), -1);
  EXPECT_EQ(TimeFrom(-1, 0, 0, 0), -1);
  EXPECT_EQ(TimeFrom(2147483647, 0, 0, 0), -1);
}

TEST(StandardTimeTest, EveryHundredthOfAnHourRoundTrips) {
  for (int32_t t = kFirstTime; t <= kLastTime; t += 7) {
    ClockTime p;
    ASSERT_TRUE(TimeParts(t, &p));
    ASSERT_EQ(TimeFrom(p.hours, p.minutes, p.seconds, p.hundredths), t);
  }
}

TEST(StandardTimeTest, PackedTimeHoldsHundredthsSecondsMinutesHours) {
  uint8_t packed[4];
  ASSERT_TRUE(PackTime(TimeFrom(11, 30, 45, 7), packed));
  EXPECT_EQ(packed[0], 7);
  EXPECT_EQ(packed[1], 45);
  EXPECT_EQ(packed[2], 30);
  EXPECT_EQ(packed[3], 11);
  int32_t time = 0;
  ASSERT_TRUE(UnpackTime(packed, &time));
  EXPECT_EQ(time, TimeFrom(11, 30, 45, 7));

  ASSERT_TRUE(PackTime(0, packed));
  ASSERT_TRUE(UnpackTime(packed, &time));
  EXPECT_EQ(time, 0);

  uint8_t kept[4] = {1, 2, 3, 4};
  EXPECT_FALSE(PackTime(8640001, kept));
  EXPECT_EQ(kept[3], 4);
  const uint8_t badHour[4] = {0, 0, 0, 24};
  const uint8_t badHundredths[4] = {100, 0, 0, 1};
  time = 5;
  EXPECT_FALSE(UnpackTime(badHour, &time));
  EXPECT_FALSE(UnpackTime(badHundredths, &time));
  EXPECT_EQ(time, 5);
}

TEST(LocalClockTest, TodayAndClockAreValidValues) {
  int32_t today = Today();
  CalendarDate parts;
  ASSERT_TRUE(DateParts(today, &parts));
  EXPECT_EQ(parts.year, CurrentYear());
  ClockTime now;
  EXPECT_TRUE(TimeParts(Clock(), &now));
}

}  // namespace
}  // namespace ledora::runtime
