#include "reporting/report_runner.h"

#include <chrono>
#include <string>

#include "data/error_severity.h"
#include "runtime/system/message_service.h"
#include "runtime/system/runtime_error.h"

namespace ledora::reporting {

using data::SeverityInform;
using data::SeverityNone;
using data::SeverityStop;

int32_t SteadyHundredths() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<int32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count() /
                              10);
}

void ReportRunner::Setup(BatchProcess* process, runtime::Report* report, PrintPreview* preview) {
  PROCESS = process;
  REPORT = report;
  PREVIEW = preview;
  PREVIEWQUEUE = std::make_unique<runtime::PreviewQueue>();
  if (PREVIEW != nullptr) SetupPreview();
  RECORDSPERCYCLE = 1;
  TIMESLICE = 100;
}

void ReportRunner::OpenProgressWindow() {
  if (window() != nullptr && DEFERWINDOW != 0) window()->SetVisible(false);
  OpenWindow();
}

void ReportRunner::EventLoop() {
  if (DEFERWINDOW != 0 && window() != nullptr) {
    if (WAITCURSOR) window()->SetCursor(runtime::CursorWait);
    STARTTIME = Now();
    window()->SetVisible(false);
  }
  ProcedureFrame::EventLoop();
}

void ReportRunner::PrepareWindow() {
  ProcedureFrame::PrepareWindow();
  if (!DEFEROPENREPORT) StartReport();
}

void ReportRunner::StartReport() {
  DEFEROPENREPORT = 0;
  PROCESS->Restart();
  if (PROCESS->ReadNext() != SeverityNone) {
    ReportNoRecords();
    return;
  }
  OPENFAILED = 0;
  if (REPORT == nullptr) return;
  reportOpened_ = REPORT->Open();
  // Pages wait in the queue until the run has completed, also without a
  // preview, so a cancelled or failed run prints nothing at all.
  REPORT->SetPageQueue(PREVIEWQUEUE.get());
}

void ReportRunner::ReportNoRecords() {
  ThrowMessage(data::MsgNoRecords);
  OPENFAILED = 1;
  RESPONSE = framework::ResponseCancelled;
}

uint8_t ReportRunner::ReadNext() {
  uint8_t result = PROCESS->ReadNext();
  if (result == SeverityNone) return SeverityNone;
  if (result == SeverityInform && PROCESS->RECORDSPROCESSED > 0) {
    RESPONSE = framework::ResponseCompleted;
    PostToWindow(runtime::EventCloseWindow);
    return SeverityInform;
  }
  RESPONSE = framework::ResponseCancelled;
  PostToWindow(runtime::EventCloseWindow);
  return SeverityStop;
}

data::Severity ReportRunner::OnWindowEvent() {
  if (event().number == runtime::EventTimer) {
    data::Severity result = OnTimer();
    if (result != SeverityNone) return result;
  }
  return ProcedureFrame::OnWindowEvent();
}

data::Severity ReportRunner::OnTimer() {
  if (DEFEROPENREPORT) StartReport();
  if (OPENFAILED) return SeverityStop;
  // A timer event queued before the end was posted must not print again.
  if (window() != nullptr && window()->timer() == 0) return SeverityInform;
  int32_t base = PROCESS->RECORDSPROCESSED;
  int32_t t0 = Now();
  if (DEFERWINDOW != 0 && t0 - STARTTIME > DEFERWINDOW * 100) {
    if (window() != nullptr) window()->SetVisible(true);
    DEFERWINDOW = 0;
  }
  for (;;) {
    data::Severity result = RunPortion(base);
    if (result != SeverityNone) return result;
    int32_t elapsed = Now() - t0;
    if (5 * elapsed < 4 * TIMESLICE) RECORDSPERCYCLE *= 2;
    if (2 * elapsed < TIMESLICE) continue;
    if (2 * elapsed > 3 * TIMESLICE && RECORDSPERCYCLE > 1) RECORDSPERCYCLE /= 2;
    return SeverityNone;
  }
}

data::Severity ReportRunner::RunPortion(int32_t base) {
  while (PROCESS->RECORDSPROCESSED - base < RECORDSPERCYCLE) {
    uint8_t taken = PROCESS->ProcessRecord();
    if (taken == SeverityStop) {
      StopTimer();
      RESPONSE = framework::ResponseCancelled;
      PostToWindow(runtime::EventCloseWindow);
      return SeverityInform;
    }
    // A skipped record is passed over, not taken again at the next event.
    if (ReadNext() != SeverityNone) {
      StopTimer();
      return SeverityInform;
    }
    if (taken == SeverityInform) return SeverityInform;
  }
  return SeverityNone;
}

void ReportRunner::StopTimer() {
  if (window() != nullptr) window()->SetTimer(0);
}

data::Severity ReportRunner::OnCloseRequest() {
  if (runtime::Window* w = window()) {
    if (WAITCURSOR) w->SetCursor(runtime::CursorArrow);
    if (!KEEPVISIBLE) w->SetVisible(false);
  }
  StopTimer();
  FinishAndPreview();
  if (reportOpened_) REPORT->Close();
  reportOpened_ = false;
  return SeverityNone;
}

void ReportRunner::FinishAndPreview() {
  if (RESPONSE != framework::ResponseCompleted || !reportOpened_) return;
  REPORT->EndReport();
  pages_ = REPORT->PagesWritten();
  if (PREVIEW == nullptr || SKIPPREVIEW || ShowPreview() == 1) {
    PrintPages();
  } else {
    REPORT->Discard();
  }
  if (PREVIEWQUEUE) PREVIEWQUEUE->clear();
}

void ReportRunner::PrintPages() {
  std::string title = window() != nullptr ? window()->title() : "Report";
  if (output_ == nullptr) {
    REPORT->Discard();
    return;
  }
  printed_ = REPORT->Flush(*output_, title);
  if (!printed_) ReportNotPrinted();
}

void ReportRunner::ReportNotPrinted() {
  runtime::MessageRequest request;
  request.caption = window() != nullptr ? window()->title() : "Report";
  const runtime::ErrorState& error = runtime::CurrentError();
  request.text = "The report could not be printed: " + error.text;
  if (!error.fileErrorText.empty()) request.text += " (" + error.fileErrorText + ")";
  runtime::Messages().Show(request);
}

data::Severity ReportRunner::Shutdown() {
  if (DEAD || PROCESS == nullptr) return SeverityInform;
  PREVIEWQUEUE.reset();
  if (PREVIEW != nullptr) ShutdownPreview();
  PROCESS->Shutdown();
  return ProcedureFrame::Shutdown();
}

}  // namespace ledora::reporting
