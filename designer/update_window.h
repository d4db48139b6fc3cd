// The window of the new-reports update that runs when the designer starts:
// a step text and a percentage while the definition tables are replaced.
// It shows only when there is an update to install.
#pragma once

#include "layout/design_transfer.h"

namespace ledora::designer {

enum UpdateWindowControls : int32_t { UpdateStep = 1, UpdateBar = 2, UpdatePercent = 3 };

// The texts of the transfer from the designer text table.
layout::TransferTexts TransferTextsFromTable();

layout::UpdateResult RunNewReportsUpdate(layout::DesignDatabase& designs);

}  // namespace ledora::designer
