#include "runtime/dates/locale_formats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "runtime/dates/date_picture.h"
#include "runtime/dates/picture_layout.h"
#include "runtime/dates/standard_date.h"
#include "runtime/dates/standard_time.h"
#include "runtime/dates/time_picture.h"
#include "tests/support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace ledora::runtime {
namespace {

std::string ShowPattern(std::string_view pattern, int32_t date, int32_t time) {
  PictureLayout layout;
  if (!LayoutFromPattern(pattern, &layout)) return "no layout";
  LayoutValues v;
  CalendarDate d;
  ClockTime t;
  v.valid = DateParts(date, &d) && TimeParts(time, &t);
  v.year = d.year;
  v.month = d.month;
  v.day = d.day;
  v.weekday = Weekday(date);
  v.hours = t.hours;
  v.minutes = t.minutes;
  v.seconds = t.seconds;
  v.amPm = t.hours < 12 ? 'A' : 'P';
  std::string text = layout.Print(v);
  return text.erase(text.find_last_not_of(' ') + 1);
}

const int32_t kDate = DateFrom(10, 31, 1959);
const int32_t kTime = TimeFrom(21, 5, 9, 0);

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    const char* old = std::getenv(name);
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (hadOld_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool hadOld_ = false;
  std::string old_;
};

TEST(LocaleFormatsTest, StrftimeConversions) {
  EXPECT_EQ(PatternFromStrftime("%d.%m.%Y"), "dd.MM.yyyy");
  EXPECT_EQ(PatternFromStrftime("%m/%d/%y"), "MM/dd/yy");
  EXPECT_EQ(PatternFromStrftime("%D"), "MM/dd/yy");
  EXPECT_EQ(PatternFromStrftime("%F"), "yyyy-MM-dd");
  EXPECT_EQ(PatternFromStrftime("%-d.%-m.%Y"), "d.M.yyyy");
  EXPECT_EQ(PatternFromStrftime("%e %b %Y"), "d MMM yyyy");
  EXPECT_EQ(PatternFromStrftime("%A %d de %B"), "dddd dd 'de' MMMM");
  EXPECT_EQ(PatternFromStrftime("%r"), "hh:mm:ss tt");
  EXPECT_EQ(PatternFromStrftime("%T"), "HH:mm:ss");
  EXPECT_EQ(PatternFromStrftime("%Ey'x"), "yy'''x'");
  EXPECT_EQ(ShowPattern(PatternFromStrftime("%Y'%m'x"), kDate, kTime), "1959'10'x");
}

TEST(LocaleFormatsTest, UnusableFormatsGiveNothing) {
  EXPECT_EQ(PatternFromStrftime(""), "");
  EXPECT_EQ(PatternFromStrftime("%j"), "");
  EXPECT_EQ(PatternFromStrftime("%H:%M %Z"), "");
  EXPECT_EQ(PatternFromStrftime("%c"), "");
  EXPECT_EQ(PatternFromStrftime("%"), "");
  EXPECT_EQ(PatternFromStrftime("%-"), "");
  EXPECT_EQ(PatternFromStrftime("at noon"), "");
  EXPECT_EQ(PatternFromStrftime("%Y\xe5\xb9\xb4"), "");  // UTF-8 text
}

TEST(LocaleFormatsTest, DateAndShortTimeLeaveOutParts) {
  EXPECT_EQ(DatePatternFromStrftime("%a %b %e %H:%M:%S %Z %Y"), "ddd MMM d yyyy");
  EXPECT_EQ(DatePatternFromStrftime("%a %-d. %b %H:%M:%S %Z %Y"), "ddd d. MMM yyyy");
  EXPECT_EQ(DatePatternFromStrftime("%a %b %e %r %Z %Y"), "ddd MMM d yyyy");
  EXPECT_EQ(DatePatternFromStrftime("%H:%M"), "");
  EXPECT_EQ(ShortTimePatternFromStrftime("%H:%M:%S"), "HH:mm");
  EXPECT_EQ(ShortTimePatternFromStrftime("%r"), "hh:mm tt");
  EXPECT_EQ(ShortTimePatternFromStrftime("%T"), "HH:mm");
}

TEST(LocaleFormatsTest, PatternsPrint) {
  LocaleFormats defaults;
  EXPECT_EQ(ShowPattern(defaults.shortDate, kDate, kTime), "10/31/59");
  EXPECT_EQ(ShowPattern(defaults.longDate, kDate, kTime), "Sat, October 31, 1959");
  EXPECT_EQ(ShowPattern(defaults.shortTime, kDate, kTime), "21:05");
  EXPECT_EQ(ShowPattern(defaults.longTime, kDate, kTime), "21:05:09");
  EXPECT_EQ(ShowPattern("dddd d. MMMM yyyy", kDate, kTime), "Saturday 31. October 1959");
  EXPECT_EQ(ShowPattern("h:mm:ss tt", kDate, kTime), " 9:05:09 PM");
  EXPECT_EQ(ShowPattern("hh 'h' mm t", kDate, TimeFrom(0, 7, 0, 0)), "12 h 07 A");
  EXPECT_EQ(ShowPattern("gg yyyy", kDate, kTime), " 1959");
  EXPECT_EQ(ShowPattern("'unterminated", kDate, kTime), "no layout");
}

TEST(LocaleFormatsTest, PlainCLocaleAndUnknownNamesGiveTheDefaults) {
  LocaleFormats defaults;
  for (const char* name : {"C", "POSIX", "no_SUCH.locale"}) {
    LocaleFormats read = ReadLocaleFormats(name);
    EXPECT_EQ(read.shortDate, defaults.shortDate) << name;
    EXPECT_EQ(read.longDate, defaults.longDate) << name;
    EXPECT_EQ(read.shortTime, defaults.shortTime) << name;
    EXPECT_EQ(read.longTime, defaults.longTime) << name;
  }
}

TEST(LocaleFormatsTest, PicturesSeventeenAndEighteenFollowTheEnvironment) {
  ScopedVariable locale("LC_ALL", "C");
  EXPECT_EQ(DatePicture::Compile("@D17")->Format(kDate), "10/31/59");
  std::string longDate = DatePicture::Compile("@D18")->Format(kDate);
  EXPECT_EQ(longDate.substr(0, 21), "Sat, October 31, 1959");
  EXPECT_EQ(TimePicture::Compile("@T7")->Format(kTime), "21:05");
  EXPECT_EQ(TimePicture::Compile("@T8")->Format(kTime), "21:05:09");
  EXPECT_EQ(DatePicture::Compile("@D17.")->Format(kDate), "10.31.59");
  EXPECT_EQ(DatePicture::Compile("@D18B")->Format(0), std::string(longDate.size(), ' '));
  int32_t date = 0;
  ASSERT_TRUE(DatePicture::Compile("@D18")->Deformat(longDate, &date));
  EXPECT_EQ(date, kDate);
  ASSERT_TRUE(DatePicture::Compile("@D18")->Deformat("October 31, 1959", &date));
  EXPECT_EQ(date, kDate);
  EXPECT_FALSE(DatePicture::Compile("@D18")->Deformat("Sunday, October 31", &date));
}

// A real locale, made with the C library's own tool where it is installed.
class CompiledLocaleTest : public ::testing::Test {
 protected:
  bool Make(const std::string& source, const std::string& charset, const std::string& name) {
    std::string command =
        "localedef -i " + source + " -f " + charset + " " + folder_.File(name) + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
#if defined(__SANITIZE_ADDRESS__)
  // The C library's newlocale leaks its search list while LOCPATH is set.
  void SetUp() override { __lsan_disable(); }
  void TearDown() override { __lsan_enable(); }
#endif

  testing::TempFolder folder_;
  ScopedVariable path_{"LOCPATH", folder_.path()};
  ScopedVariable all_{"LC_ALL", "C"};
};

TEST_F(CompiledLocaleTest, GermanDatesAndTimes) {
  if (!Make("de_DE", "ISO-8859-1", "de_DE")) GTEST_SKIP() << "localedef cannot build de_DE";
  LocaleFormats german = ReadLocaleFormats("de_DE");
  EXPECT_EQ(german.shortDate, "dd.MM.yyyy");
  EXPECT_EQ(german.longDate, "ddd d. MMM yyyy");
  EXPECT_EQ(german.shortTime, "HH:mm");
  EXPECT_EQ(german.longTime, "HH:mm:ss");
  ScopedVariable locale("LC_ALL", "de_DE");
  EXPECT_EQ(DatePicture::Compile("@D17")->Format(kDate), "31.10.1959");
  EXPECT_EQ(DatePicture::Compile("@D17-")->Format(kDate), "31-10-1959");
  int32_t date = 0;
  ASSERT_TRUE(DatePicture::Compile("@D17")->Deformat("31.10.1959", &date));
  EXPECT_EQ(date, kDate);
}

TEST_F(CompiledLocaleTest, AmericanTwelveHourTimes) {
  if (!Make("en_US", "ISO-8859-1", "en_US")) GTEST_SKIP() << "localedef cannot build en_US";
  ScopedVariable locale("LC_ALL", "en_US");
  EXPECT_EQ(DatePicture::Compile("@D17")->Format(kDate), "10/31/1959");
  EXPECT_EQ(TimePicture::Compile("@T7")->Format(kTime), "09:05 PM");
  EXPECT_EQ(TimePicture::Compile("@T8")->Format(kTime), "09:05:09 PM");
  int32_t time = 0;
  ASSERT_TRUE(TimePicture::Compile("@T8")->Deformat("09:05:09 PM", &time));
  EXPECT_EQ(time, kTime);
}

}  // namespace
}  // namespace ledora::runtime
