// The procedure frame of a printed report: owns the progress window's loop,
// drives the batch process from the window's timer in portions sized to
// keep each timer event near TIMESLICE, prints into page images and, at the
// end, shows them in the print preview and prints or discards them. The
// report procedures of the application set one up inside their Initialize.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/procedure_frame.h"
#include "reporting/batch_process.h"
#include "runtime/report/page_output.h"
#include "runtime/report/preview_queue.h"
#include "runtime/report/report.h"

namespace ledora::reporting {

class PrintPreview;

// Hundredths of a second from an arbitrary start; only differences count.
using RunnerClock = std::function<int32_t()>;
int32_t SteadyHundredths();

class ReportRunner : public framework::ProcedureFrame {
 public:
  uint8_t DEFEROPENREPORT = 0;
  uint16_t DEFERWINDOW = 0;  // seconds
  uint8_t KEEPVISIBLE = 0;
  uint8_t OPENFAILED = 0;
  PrintPreview* PREVIEW = nullptr;  // none: pages print when the run completes
  std::unique_ptr<runtime::PreviewQueue> PREVIEWQUEUE;
  BatchProcess* PROCESS = nullptr;
  int32_t RECORDSPERCYCLE = 1;
  runtime::Report* REPORT = nullptr;
  uint8_t SKIPPREVIEW = 0;
  int32_t STARTTIME = 0;
  uint16_t TIMESLICE = 100;  // hundredths of a second
  uint8_t WAITCURSOR = 0;
  int16_t ZOOM = 0;  // 0: the preview's own default

  // Stores the three references and makes the page queue (handed to the
  // preview when there is one).
  void Setup(BatchProcess* process, runtime::Report* report, PrintPreview* preview);
  // Where pages go when they are printed: from the preview, with
  // SKIPPREVIEW, or without a preview once the run completes. Not owned.
  void SetOutput(runtime::PageOutput* output) { output_ = output; }
  void SetClock(RunnerClock clock) { clock_ = std::move(clock); }
  // Opens the progress window, already hidden when it is to be deferred,
  // so that a short report never shows it at all.
  void OpenProgressWindow();
  // After the close: the pages the report finished, and whether they went
  // to the output.
  int32_t pages() const { return pages_; }
  bool printed() const { return printed_; }

  void EventLoop() override;
  data::Severity Shutdown() override;
  void PrepareWindow() override;
  data::Severity OnCloseRequest() override;
  data::Severity OnWindowEvent() override;

  virtual void FinishAndPreview();
  virtual uint8_t ReadNext();
  virtual void StartReport();
  virtual void ReportNoRecords();
  // Tells the user that the report's pages could not be made or sent, with
  // the runtime's reason (a full disk, say); a job prints it.
  void ReportNotPrinted();

 private:
  int32_t Now() const { return clock_ ? clock_() : SteadyHundredths(); }
  data::Severity OnTimer();
  // 0 the portion is done; otherwise what the timer event answers.
  data::Severity RunPortion(int32_t base);
  void StopTimer();
  void PrintPages();
  // The preview's part: hands it the queue, shows it, shuts it down.
  void SetupPreview();
  uint8_t ShowPreview();
  void ShutdownPreview();

  runtime::PageOutput* output_ = nullptr;
  RunnerClock clock_;
  int32_t pages_ = 0;
  bool printed_ = false;
  bool reportOpened_ = false;
};

}  // namespace ledora::reporting
