// The update form of one paper format, on the record buffer R_P: insert
// (a cleared record in 1/1000 inch, portrait) and change, with the standard
// warnings of the designer's generated forms.
#pragma once

#include <cstdint>

#include "layout/design_database.h"

namespace ledora::designer {

enum PaperFormControls : int32_t {
  PaperFormSheet = 1,
  PaperFormTab,
  PaperFormAction,
  PaperFormNamePrompt,
  PaperFormName,
  PaperFormScalePrompt,
  PaperFormScale,
  PaperFormScaleThous,
  PaperFormScaleMM,
  PaperFormOrientPrompt,
  PaperFormOrientation,
  PaperFormPortrait,
  PaperFormLandscape,
  PaperFormSizeGroup,
  PaperFormWidthPrompt,
  PaperFormWidth,
  PaperFormHeightPrompt,
  PaperFormHeight,
  PaperFormOk,
  PaperFormCancel,
  PaperFormHelp,
};

// request: framework::RequestInsert, or RequestChange on the record read
// last into R_P (R_Pformats open through the use counters). True when the
// record was written.
bool UpdatePaperFormat(layout::DesignDatabase& designs, uint8_t request);

}  // namespace ledora::designer
