// Clearing a design table's record buffer as the runtime clears a record:
// numbers to zero, strings to blanks. The layout engine clears R_T, R_D and
// R_C before it fills or positions them.
#pragma once

#include "layout/design_records.h"

namespace ledora::layout {

void ClearBuffer(DesignTable table);

}  // namespace ledora::layout
