// The designer's combined open / save-as dialog: report types, the designs
// of the selected type with the default one marked, a design name, and the
// Default and Delete buttons. On completion R_T and R_D hold the chosen type
// and design (in save-as mode the design is numbered, and added when new).
#pragma once

#include <cstdint>

#include "layout/design_database.h"
#include "layout/record_stream.h"

namespace ledora::designer {

enum OpenDesignMode : uint8_t { OpenDesignOpen = 0, OpenDesignSaveAs = 1 };

enum OpenDesignControls : int32_t {
  OpenTypesPrompt = 1,
  OpenTypesList = 2,
  OpenDesignsList = 3,
  OpenNamePrompt = 4,
  OpenNameEntry = 5,
  OpenDefaultPrompt = 6,
  OpenDefaultShown = 7,
  OpenOk = 8,
  OpenCancel = 9,
  OpenHelp = 10,
  OpenDelete = 11,
  OpenDefault = 12,
};

// The mark a row of the designs list carries when it is the default design.
inline constexpr char kDefaultMark[] = "Default";

// True when completed. The type list starts on the type in R_T.
// The record stream's texts from the designer text table.
layout::StreamTexts StreamTextsFromTable();

// onlyType, when not 0, restricts the type list to that type.
bool OpenDesignDialog(layout::DesignDatabase& designs, uint8_t mode, int32_t onlyType = 0);

}  // namespace ledora::designer
