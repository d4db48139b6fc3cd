#include "runtime/dates/standard_time.h"

namespace ledora::runtime {

int32_t TimeFrom(int hours, int minutes, int seconds, int hundredths) {
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59 ||
      hundredths < 0 || hundredths > 99) {
    return -1;
  }
  return hours * 360000 + minutes * 6000 + seconds * 100 + hundredths + 1;
}

bool TimeParts(int32_t time, ClockTime* parts) {
  if (time < kFirstTime || time > kLastTime) return false;
  int32_t u = time - 1;
  parts->hours = u / 360000;
  u %= 360000;
  parts->minutes = u / 6000;
  u %= 6000;
  parts->seconds = u / 100;
  parts->hundredths = u % 100;
  return true;
}

bool PackTime(int32_t time, uint8_t packed[4]) {
  ClockTime parts;
  if (time != 0 && !TimeParts(time, &parts)) return false;
  packed[0] = static_cast<uint8_t>(parts.hundredths);
  packed[1] = static_cast<uint8_t>(parts.seconds);
  packed[2] = static_cast<uint8_t>(parts.minutes);
  packed[3] = static_cast<uint8_t>(parts.hours);
  return true;
}

bool UnpackTime(const uint8_t packed[4], int32_t* time) {
  if (packed[0] == 0 && packed[1] == 0 && packed[2] == 0 && packed[3] == 0) {
    *time = 0;
    return true;
  }
  int32_t t = TimeFrom(packed[3], packed[2], packed[1], packed[0]);
  if (t < 0) return false;
  *time = t;
  return true;
}

}  // namespace ledora::runtime
