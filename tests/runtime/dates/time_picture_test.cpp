#include "runtime/dates/time_picture.h"

#include <gtest/gtest.h>

#include "runtime/dates/standard_time.h"

namespace ledora::runtime {
namespace {

std::string Show(std::string_view picture, int32_t time) {
  std::string error;
  auto compiled = TimePicture::Compile(picture, &error);
  if (!compiled) return "invalid: " + error;
  return compiled->Format(time);
}

const int32_t kHalfPastEleven = TimeFrom(11, 30, 45, 0);
const int32_t kEvening = TimeFrom(21, 5, 9, 50);

TEST(TimePictureFormatTest, Formats) {
  EXPECT_EQ(Show("@T1", kHalfPastEleven), "11:30");
  EXPECT_EQ(Show("@T2", kHalfPastEleven), "1130");
  EXPECT_EQ(Show("@T3", kHalfPastEleven), "11:30AM");
  EXPECT_EQ(Show("@T4", kHalfPastEleven), "11:30:45");
  EXPECT_EQ(Show("@T5", kHalfPastEleven), "113045");
  EXPECT_EQ(Show("@T6", kHalfPastEleven), "11:30:45AM");
  EXPECT_EQ(Show("@T1", kEvening), "21:05");
  EXPECT_EQ(Show("@T3", kEvening), " 9:05PM");
  EXPECT_EQ(Show("@T6", kEvening), " 9:05:09PM");
}

TEST(TimePictureFormatTest, TwelveHourClockAroundMidnightAndNoon) {
  EXPECT_EQ(Show("@T3", TimeFrom(0, 0, 0, 0)), "12:00AM");
  EXPECT_EQ(Show("@T3", TimeFrom(12, 0, 0, 0)), "12:00PM");
  EXPECT_EQ(Show("@T3", TimeFrom(12, 59, 0, 0)), "12:59PM");
  EXPECT_EQ(Show("@T3", TimeFrom(13, 0, 0, 0)), " 1:00PM");
  EXPECT_EQ(Show("@T1", TimeFrom(0, 0, 0, 0)), " 0:00");
}

TEST(TimePictureFormatTest, SeparatorsAndFill) {
  EXPECT_EQ(Show("@T4_", kHalfPastEleven), "11 30 45");
  EXPECT_EQ(Show("@T4.", kHalfPastEleven), "11.30.45");
  EXPECT_EQ(Show("@T4`", kHalfPastEleven), "11,30,45");
  EXPECT_EQ(Show("@T04", TimeFrom(9, 5, 0, 0)), "09:05:00");
  EXPECT_EQ(Show("@T*4", TimeFrom(9, 5, 0, 0)), "*9:*5:*0");
  EXPECT_EQ(Show("@t6-b", TimeFrom(9, 5, 0, 0)), " 9-05-00AM");
}

TEST(TimePictureFormatTest, ZeroAndInvalidTimes) {
  EXPECT_EQ(Show("@T1B", 0), "     ");
  EXPECT_EQ(Show("@T1", 0), "  :  ");
  EXPECT_EQ(Show("@T3", 0), "  :   M");
  EXPECT_EQ(Show("@T4B", 8640001), "  :  :  ");
  EXPECT_EQ(Show("@T2", -5), "    ");
}

TEST(TimePictureCompileTest, RejectsMalformedPictures) {
  for (const char* bad : {"", "@T", "@TB", "@T0", "@T9", "@T10", "@T123", "@T1x", "@T1<5", "@T_",
                          "@T1..", "@D1", "@S20"}) {
    std::string error;
    EXPECT_EQ(TimePicture::Compile(bad, &error), nullptr) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

TEST(TimePictureDeformatTest, ReadsPrintedAndTypedTimes) {
  auto t4 = TimePicture::Compile("@T4");
  int32_t time = 0;
  ASSERT_TRUE(t4->Deformat("11:30:45", &time));
  EXPECT_EQ(time, kHalfPastEleven);
  ASSERT_TRUE(t4->Deformat("113045", &time));
  EXPECT_EQ(time, kHalfPastEleven);
  ASSERT_TRUE(t4->Deformat("9:05", &time));
  EXPECT_EQ(time, TimeFrom(9, 5, 0, 0));
  ASSERT_TRUE(t4->Deformat("905", &time));
  EXPECT_EQ(time, TimeFrom(9, 5, 0, 0));
  ASSERT_TRUE(t4->Deformat("9:05 pm", &time));
  EXPECT_EQ(time, TimeFrom(21, 5, 0, 0));
  ASSERT_TRUE(t4->Deformat("12:10a", &time));
  EXPECT_EQ(time, TimeFrom(0, 10, 0, 0));
  ASSERT_TRUE(TimePicture::Compile("@T3")->Deformat(" 9:05PM", &time));
  EXPECT_EQ(time, TimeFrom(21, 5, 0, 0));
  ASSERT_TRUE(TimePicture::Compile("@T3")->Deformat("  :   M", &time));
  EXPECT_EQ(time, 0);
  ASSERT_TRUE(t4->Deformat("", &time));
  EXPECT_EQ(time, 0);
}

TEST(TimePictureDeformatTest, RejectsWhatCannotBeATime) {
  auto t4 = TimePicture::Compile("@T4");
  int32_t time = 77;
  for (const char* bad :
       {"24:00", "11:60", "11:30:60", "13:00 PM", "0:10 AM", "11:30 XM", "11:30:45:10:1", "1234567",
        "11:3a0", "PM", "eleven", "99999999999999999999"}) {
    EXPECT_FALSE(t4->Deformat(bad, &time)) << bad;
  }
  EXPECT_EQ(time, 77);
}

TEST(TimePictureDeformatTest, EveryFormatRoundTripsEveryMinute) {
  for (const char* text : {"@T1", "@T2", "@T3", "@T4", "@T5", "@T6", "@T04_", "@T*6", "@T_2"}) {
    auto picture = TimePicture::Compile(text);
    ASSERT_NE(picture, nullptr) << text;
    bool seconds = picture->layout().Has(PositionSecond);
    for (int32_t t = kFirstTime; t <= kLastTime; t += 6000 + (seconds ? 100 : 0)) {
      int32_t back = 0;
      std::string shown = picture->Format(t);
      ASSERT_TRUE(picture->Deformat(shown, &back)) << text << " '" << shown << "'";
      ASSERT_EQ(back, t) << text << " '" << shown << "'";
    }
  }
}

}  // namespace
}  // namespace ledora::runtime
