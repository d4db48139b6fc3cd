// The design selection window "Select design to print": the designs of a
// report type, the type's default design and the "&Default" button that
// sets it. The customer list by number lets the user choose its design
// here; the frame's "select design" entry opens it on its own.
#pragma once

#include <cstdint>

namespace ledora::app {

// On the calling thread, for the report type in R_T (the only one listed
// when it is set). Response 1 with the chosen design in R_D, or 2.
uint8_t SelectDesignToPrint();
// The frame's "select design" procedure.
void SelectDesign();

}  // namespace ledora::app
