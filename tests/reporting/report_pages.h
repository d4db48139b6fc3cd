// Page images made by the report engine for the preview's tests and
// benchmark: one page per invoice, page n reading "Invoice n" and "Total n".
// Names no report type, so it sits beside the window engine's headers.
#pragma once

#include <string>

#include "runtime/report/preview_queue.h"

namespace ledora::testing {

// The pages stay in a spool in folder; empty when the report failed.
runtime::PreviewQueue MakeReportPages(const std::string& folder, int count);

}  // namespace ledora::testing
