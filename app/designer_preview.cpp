#include "app/designer_preview.h"

#include <memory>

#include "designer/designer_window.h"
#include "runtime/qtreport/report_renderer.h"
#include "runtime/system/message_service.h"

namespace ledora::app {

void PreviewLayout(const std::string& typeName, const std::vector<layout::ContentRecord>& content,
                   const ReportDestination& destination) {
  std::optional<InvoicingReportKind> kind = KindOfReportType(typeName);
  if (!kind) {
    runtime::MessageRequest request;
    request.text = "This application has no report procedure for the report type \"" + typeName +
                   "\", so its layouts cannot be previewed.";
    request.caption = "Preview";
    request.icon = runtime::IconExclamation;
    runtime::Messages().Show(request);
    return;
  }
  ReportDestination layout = destination;
  layout.content = &content;
  // Every invoice: the layout is what is being looked at, not a range.
  RunInvoicingReport(*kind, layout);
}

void ReportDesignerWithPreview() {
  // The canvas measures with the fonts the preview prints with.
  std::unique_ptr<runtime::FontMetrics> metrics = runtime::MakeRendererFontMetrics();
  designer::ReportDesigner(
      [&metrics](const std::string& typeName, const std::vector<layout::ContentRecord>& content) {
        ReportDestination destination;
        destination.metrics = metrics.get();
        PreviewLayout(typeName, content, destination);
      },
      metrics.get());
}

}  // namespace ledora::app
