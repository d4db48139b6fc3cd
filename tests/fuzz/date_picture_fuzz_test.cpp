#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "runtime/dates/date_picture.h"
#include "runtime/dates/standard_date.h"
#include "runtime/dates/standard_time.h"
#include "runtime/dates/time_picture.h"

namespace ledora::runtime {
namespace {

constexpr std::string_view kPictureChars = "@DdTtBb0123456789_*<>.-`x ";
constexpr const char* kGoodPictures[] = {"@d6",   "@D17",    "@d1-",  "@d2.>10", "@D06.B", "@D4",
                                         "@D*11", "@D_12<5", "@t1",   "@T7",     "@T4_",   "@T06.B",
                                         "@T*3",  "@D18",    "@D_3`", "@T8",     "@D7-",   "@D16"};

std::string RandomText(std::mt19937& rng, std::string_view alphabet, size_t maxLength) {
  std::string text(rng() % (maxLength + 1), ' ');
  for (char& c : text) c = alphabet.empty() ? char(rng()) : alphabet[rng() % alphabet.size()];
  return text;
}

std::string Mutated(std::mt19937& rng, std::string text) {
  for (int edits = 1 + rng() % 3; edits > 0; --edits) {
    char c = kPictureChars[rng() % kPictureChars.size()];
    size_t at = text.empty() ? 0 : rng() % text.size();
    switch (rng() % 3) {
      case 0:
        text.insert(text.begin() + at, c);
        break;
      case 1:
        if (!text.empty()) text.erase(at, 1);
        break;
      default:
        if (!text.empty()) text[at] = c;
    }
  }
  return text;
}

std::string PictureText(std::mt19937& rng) {
  switch (rng() % 3) {
    case 0:
      return RandomText(rng, kPictureChars, 10);
    case 1:
      return Mutated(rng, kGoodPictures[rng() % std::size(kGoodPictures)]);
    default:
      return RandomText(rng, {}, 12);
  }
}

int32_t SomeValue(std::mt19937& rng, int32_t last) {
  switch (rng() % 4) {
    case 0:
      return static_cast<int32_t>(rng());
    case 1:
      return static_cast<int32_t>(rng() % 9) - 4 + (rng() % 2 ? last : 0);
    default:
      return 1 + static_cast<int32_t>(rng() % last);
  }
}

// What the user might type: printed text with damage, or noise.
std::string Typed(std::mt19937& rng, const std::string& shown) {
  if (rng() % 2) return RandomText(rng, rng() % 2 ? "0123456789/.:- apmAPMOctJan" : "", 14);
  return Mutated(rng, shown);
}

template <typename P>
void CheckPicture(std::mt19937& rng, const P& picture, int32_t last, bool isDate) {
  ASSERT_GT(picture.width(), 0);
  for (int i = 0; i < 8; ++i) {
    int32_t value = SomeValue(rng, last);
    std::string shown = picture.Format(value);
    ASSERT_EQ(static_cast<int>(shown.size()), picture.width());
    bool valid = value >= 1 && value <= last && (!isDate || value >= kFirstDate);
    int32_t back = -99;
    if (valid) {
      // Shown text reads back to a value that shows the same.
      bool read = false;
      if constexpr (std::is_same_v<P, DatePicture>) {
        CalendarDate parts;
        DateParts(value, &parts);
        read = picture.Deformat(shown, &back, parts.year);
      } else {
        read = picture.Deformat(shown, &back);
      }
      ASSERT_TRUE(read) << "'" << shown << "'";
      ASSERT_EQ(picture.Format(back), shown);
    }
    back = -99;
    if (picture.Deformat(Typed(rng, shown), &back)) {
      ASSERT_TRUE(back == 0 || (back >= (isDate ? kFirstDate : 1) && back <= last)) << back;
    } else {
      ASSERT_EQ(back, -99);
    }
  }
}

TEST(DatePictureFuzzTest, RandomAndMutatedPictures) {
  setenv("LC_ALL", "C", 1);
  std::mt19937 rng(20261207);
  int compiled = 0;
  for (int round = 0; round < 100000; ++round) {
    std::string text = PictureText(rng);
    std::string error;
    if (auto date = DatePicture::Compile(text, &error)) {
      ++compiled;
      CheckPicture(rng, *date, kLastDate, true);
    } else {
      ASSERT_FALSE(error.empty()) << text;
    }
    error.clear();
    if (auto time = TimePicture::Compile(text, &error)) {
      ++compiled;
      CheckPicture(rng, *time, kLastTime, false);
    } else {
      ASSERT_FALSE(error.empty()) << text;
    }
  }
  EXPECT_GT(compiled, 1000);  // the mutations must reach real pictures
}

TEST(DatePictureFuzzTest, RandomNumbersThroughConversions) {
  std::mt19937 rng(1801);
  for (int round = 0; round < 200000; ++round) {
    int32_t n = static_cast<int32_t>(rng());
    CalendarDate date;
    if (DateParts(n, &date)) {
      ASSERT_EQ(DateFrom(date.month, date.day, date.year), n);
    }
    ClockTime time;
    if (TimeParts(n, &time)) {
      ASSERT_EQ(TimeFrom(time.hours, time.minutes, time.seconds, time.hundredths), n);
    }
    uint8_t packed[4] = {uint8_t(n), uint8_t(n >> 8), uint8_t(n >> 16), uint8_t(n >> 24)};
    int32_t value = -1;
    if (UnpackDate(packed, &value)) {
      uint8_t again[4];
      ASSERT_TRUE(PackDate(value, again));
      ASSERT_EQ(std::memcmp(packed, again, 4), 0);
    }
    if (UnpackTime(packed, &value)) {
      ASSERT_TRUE(value == 0 || (value >= kFirstTime && value <= kLastTime));
    }
    int parts[3] = {int(rng() % 40) - 5, int(rng() % 40) - 5, int(rng()) % 12000 - 100};
    int32_t built = DateFrom(parts[0], parts[1], parts[2], rng() % 100, 1900 + rng() % 200);
    ASSERT_TRUE(built == -1 || (built >= kFirstDate && built <= kLastDate));
  }
}

}  // namespace
}  // namespace ledora::runtime
