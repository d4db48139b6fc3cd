// The designer's "Export layout" window: report types, the designs of the
// selected type with their tags, the export file, and New file or Append.
#pragma once

#include "layout/design_database.h"

namespace ledora::designer {

enum ExportControls : int32_t {
  ExportTypes = 1,
  ExportDesignList = 2,
  ExportTag = 3,
  ExportUntagAll = 4,
  ExportFilePrompt = 5,
  ExportFileEntry = 6,
  ExportPick = 7,
  ExportNewFile = 8,
  ExportAppend = 9,
  ExportClose = 10,
  ExportCountPrompt = 11,
  ExportCount = 12,
  ExportBar = 13,
};

// The mark of a tagged design's row.
inline constexpr char kTagMark[] = "*";

void ExportDesigns(layout::DesignDatabase& designs);

}  // namespace ledora::designer
