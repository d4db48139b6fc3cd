// Where printing goes: the printer chosen with the printer set-up in this
// run, else the system's default. Names no window type, so report code can
// include it beside the report engine's headers.
#pragma once

#include <string>

namespace ledora::runtime {

// Blank when the machine has no printer at all.
std::string ChosenPrinter();

}  // namespace ledora::runtime
