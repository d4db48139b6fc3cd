// Deleting a stored design for good: the report type forgets it as its
// standard design, its content records go, then its design record. The
// designer's Delete layout and the open dialog's Delete use it.
#pragma once

#include <cstdint>

#include "layout/design_database.h"

namespace ledora::designer {

struct DeletionResult {
  int32_t code = 0;  // 0 or the storage error that stopped it
  int step = 0;      // 1 the report type record, 2 the design record
};

DeletionResult DeleteDesign(layout::DesignDatabase& designs, int32_t typeNumber,
                            int32_t designNumber);

// Shows a failed deletion as "Error <code>=<text>" under "Unexpected error
// <step>".
void ShowDeletionError(const DeletionResult& result);

}  // namespace ledora::designer
