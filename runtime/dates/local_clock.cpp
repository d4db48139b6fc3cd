#include "runtime/dates/local_clock.h"

#include <chrono>
#include <ctime>

#include "runtime/dates/standard_date.h"
#include "runtime/dates/standard_time.h"

namespace ledora::runtime {
namespace {

struct LocalNow {
  std::tm tm{};
  int hundredths = 0;
};

LocalNow Now() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto sinceSecond = now - std::chrono::system_clock::from_time_t(seconds);
  LocalNow result;
  localtime_r(&seconds, &result.tm);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceSecond).count();
  if (ms >= 0 && ms < 1000) result.hundredths = static_cast<int>(ms / 10);
  return result;
}

}  // namespace

int32_t Today() {
  std::tm tm = Now().tm;
  int32_t date = DateFrom(tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900, kDefaultYearWindow, 0);
  return date < 0 ? 0 : date;  // a clock set outside 1801-9999 gives no date
}

int32_t Clock() {
  LocalNow now = Now();
  // A leap second (tm_sec 60) still has to give a valid time.
  int seconds = now.tm.tm_sec > 59 ? 59 : now.tm.tm_sec;
  return TimeFrom(now.tm.tm_hour, now.tm.tm_min, seconds, now.hundredths);
}

int CurrentYear() { return Now().tm.tm_year + 1900; }

}  // namespace ledora::runtime
