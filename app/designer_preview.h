// The report designer as the program's menu starts it: its "Preview" runs
// the invoicing report procedure of the edited layout's type on the data
// folder's files, into the print preview.
#pragma once

#include <string>
#include <vector>

#include "app/invoicing_report.h"

namespace ledora::layout {
struct ContentRecord;
}  // namespace ledora::layout

namespace ledora::app {

// Prints content, a layout of the report type typeName, through the type's
// report procedure to destination; a type without one gets a message.
void PreviewLayout(const std::string& typeName, const std::vector<layout::ContentRecord>& content,
                   const ReportDestination& destination);

// The frame's "Report Designer" procedure.
void ReportDesignerWithPreview();

}  // namespace ledora::app
