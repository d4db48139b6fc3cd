// What the preview does with its pages besides showing them: save them as
// PDF, mail them, and mark the hits of a Find.
#include <algorithm>

#include "reporting/print_preview.h"
#include "reporting/send_mail.h"
#include "runtime/qtreport/page_queue_print.h"
#include "runtime/system/message_service.h"
#include "runtime/window/common_dialogs.h"

namespace ledora::reporting {

namespace {

void Tell(std::string_view caption, std::string text, int32_t icon) {
  runtime::MessageRequest request;
  request.caption = caption;
  request.icon = icon;
  request.text = std::move(text);
  runtime::Messages().Show(request);
}

}  // namespace

bool PrintPreview::WritePdf(const std::string& fileName) {
  std::string title = reportTitle_.empty() ? "Report" : reportTitle_;
  std::string error;
  window_.SetCursor(runtime::CursorWait);
  bool ok = runtime::SavePageQueueAsPdf(*IMAGEQUEUE, fileName, title, &error);
  window_.SetCursor(runtime::CursorArrow);
  if (!ok)
    Tell(kTitle, "The report could not be saved as " + fileName + ": " + error, runtime::IconHand);
  return ok;
}

void PrintPreview::SavePdf() {
  runtime::FileDialogRequest request;
  request.title = "Save as PDF";
  request.filter = "PDF files|*.pdf|All files|*.*";
  request.fileName = (reportTitle_.empty() ? std::string("Report") : reportTitle_) + ".pdf";
  request.save = true;
  if (!runtime::AskFileName(&request) || request.fileName.empty()) return;
  std::string file = request.fileName;
  if (file.find('.', file.find_last_of('/') + 1) == std::string::npos) file += ".pdf";
  WritePdf(file);
}

void PrintPreview::SendMail() {
  std::string file = MailAttachmentName(reportTitle_.empty() ? "Report" : reportTitle_);
  if (file.empty()) {
    Tell(kTitle, "No temporary folder could be made for the e-mail's attachment.",
         runtime::IconHand);
    return;
  }
  if (!WritePdf(file)) return;
  MailResult result = SendByMail(file);
  if (result == MailSent) return;
  Tell(kTitle,
       "No e-mail program is set up on this computer (" + MailProblem(result) +
           "). The report was saved as " + file + ".",
       runtime::IconExclamation);
}

void PrintPreview::ShowHit(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(hits_.size())) return;
  currentHit_ = index;
  window_.SetText(PreviewFindStatus,
                  "Match " + std::to_string(index + 1) + " of " + std::to_string(hits_.size()));
  const PageHit& hit = hits_[index];
  if (CurrentZoom() != -2 && pageHeightMils_ > 0) {
    centreX_ = 50;
    centreY_ = std::clamp(static_cast<int32_t>(int64_t{hit.y} * 100 / pageHeightMils_), 0, 100);
  }
  if (hit.page == CURRENTPAGE && PageOnScreen(hit.page)) {
    DrawPages();
  } else {
    GoToPage(hit.page);
  }
  MarkHits();
}

void PrintPreview::MarkHits() {
  if (!PAGEMANAGER) return;
  for (size_t place = 0; place < PAGEMANAGER->size(); ++place) {
    const int32_t page = (*PAGEMANAGER)[place].PAGENO;
    std::vector<runtime::PageMark> marks;
    // Hits come in page order: only this page's are looked at.
    auto first = std::lower_bound(hits_.begin(), hits_.end(), page,
                                  [](const PageHit& h, int32_t p) { return h.page < p; });
    for (auto it = first; it != hits_.end() && it->page == page; ++it) {
      bool current = currentHit_ >= 0 && it - hits_.begin() == currentHit_;
      marks.push_back({it->x, it->y, it->width, it->height, current});
    }
    auto control = PreviewPageBase + static_cast<int32_t>(place + 1);
    const runtime::Control* c = window_.Find(control);
    if (c != nullptr && c->pageMarks != marks) window_.SetPageMarks(control, std::move(marks));
  }
}

}  // namespace ledora::reporting
