// Today's date, the time of day and the current year from the local system
// clock, for the DATE/CLOCK operations, new records and two-digit years.
#pragma once

#include <cstdint>

namespace ledora::runtime {

int32_t Today();    // standard date of the local calendar day (0 if out of range)
int32_t Clock();    // standard time of the local time of day
int CurrentYear();  // local calendar year

}  // namespace ledora::runtime
