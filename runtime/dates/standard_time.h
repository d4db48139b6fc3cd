// The standard time: hundredths of a second since midnight plus 1 (1 is
// 00:00:00.00, 0 is "no time"). Record fields, pictures and reports hold every
// time of day in this form; these functions convert it to and from clock times.
#pragma once

#include <cstdint>

namespace ledora::runtime {

constexpr int32_t kFirstTime = 1;       // 00:00:00.00
constexpr int32_t kLastTime = 8640000;  // 23:59:59.99

struct ClockTime {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  int hundredths = 0;
};

// -1 unless every part is in range (hours 0 to 23), so that a result is
// always a time that TimeParts and the pictures accept.
int32_t TimeFrom(int hours, int minutes, int seconds, int hundredths);

// False when time lies outside kFirstTime..kLastTime; parts is then untouched.
bool TimeParts(int32_t time, ClockTime* parts);

// The 4-byte time storage form of records: hundredths, seconds, minutes,
// hours. Four zero bytes are midnight and also what time 0 packs to; they
// unpack to 0, since a cleared record must read as "no time".
bool PackTime(int32_t time, uint8_t packed[4]);
bool UnpackTime(const uint8_t packed[4], int32_t* time);

}  // namespace ledora::runtime
