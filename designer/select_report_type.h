// The designer's choice of the report type of a new layout: a modal list of
// the report types by name.
#pragma once

#include "layout/design_database.h"

namespace ledora::designer {

enum SelectReportTypeControls : int32_t {
  SelectTypePrompt = 1,
  SelectTypeList = 2,
  SelectTypeSelect = 3,
  SelectTypeCancel = 4,
  SelectTypeHelp = 5,
};

// True with the chosen type in R_T; false when cancelled.
bool SelectReportType(layout::DesignDatabase& designs);

// Every record of a table in the order of a key, read into its buffer one
// by one and handed to each; the buffer is left as it was.
template <typename Record, typename Each>
void ForEachRecord(layout::DesignDatabase& designs, layout::DesignTable table, int key,
                   Record& buffer, Each each) {
  runtime::DataFile* file = designs.File(table);
  if (file == nullptr || !designs.Use(table)) return;
  Record saved = buffer;
  if (file->SetOrder(key) == 0) {
    while (file->Next() == 0) each(buffer);
  }
  buffer = saved;
  designs.Release(table);
}

}  // namespace ledora::designer
