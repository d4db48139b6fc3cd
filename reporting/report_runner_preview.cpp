// The runner's calls into the print preview, apart so that the runner
// builds wherever the preview is not there yet.
#include "reporting/report_runner.h"

#if __has_include("reporting/print_preview.h")
#include "reporting/print_preview.h"
#define LEDORA_HAS_PREVIEW 1
#endif

namespace ledora::reporting {

#ifdef LEDORA_HAS_PREVIEW
void ReportRunner::SetupPreview() { PREVIEW->Setup(PREVIEWQUEUE.get()); }

uint8_t ReportRunner::ShowPreview() {
  return ZOOM != 0 ? PREVIEW->ShowZoomed(ZOOM, 1, 1, 1) : PREVIEW->Show();
}

void ReportRunner::ShutdownPreview() { PREVIEW->Shutdown(); }
#else
void ReportRunner::SetupPreview() {}
uint8_t ReportRunner::ShowPreview() { return 0; }
void ReportRunner::ShutdownPreview() {}
#endif

}  // namespace ledora::reporting
