// The runner's calls into the print preview.
#include "reporting/print_preview.h"
#include "reporting/report_runner.h"

namespace ledora::reporting {

void ReportRunner::SetupPreview() { PREVIEW->Setup(PREVIEWQUEUE.get()); }

uint8_t ReportRunner::ShowPreview() {
  if (window() != nullptr) PREVIEW->SetReportTitle(window()->title());
  return ZOOM != 0 ? PREVIEW->ShowZoomed(ZOOM, 1, 1, 1) : PREVIEW->Show();
}

void ReportRunner::ShutdownPreview() { PREVIEW->Shutdown(); }

}  // namespace ledora::reporting
