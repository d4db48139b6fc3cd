// The designer's "Import layout" window: asks for an export file, then
// lists the report types and the exported designs of the selected type, and
// imports one under its own or a new name.
#pragma once

#include "layout/design_database.h"

namespace ledora::designer {

enum ImportControls : int32_t {
  ImportTypes = 1,
  ImportDesignList = 2,
  ImportNamePrompt = 3,
  ImportNameEntry = 4,
  ImportButton = 5,
  ImportClose = 6,
  ImportCountPrompt = 7,
  ImportCount = 8,
};

void ImportDesign(layout::DesignDatabase& designs);

}  // namespace ledora::designer
