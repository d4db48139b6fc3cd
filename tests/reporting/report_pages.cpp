#include "tests/reporting/report_pages.h"

#include "runtime/report/report.h"
#include "runtime/values/field_ref.h"

namespace ledora::testing {

runtime::PreviewQueue MakeReportPages(const std::string& folder, int count) {
  using namespace runtime;
  constexpr int32_t kDetail = 1;
  char invoice[21] = {};
  char total[21] = {};
  Report report;
  report.SetPageFolder(folder);
  report.SetFont({"Arial", 400, 12, 0});
  report.AddBand(kDetail, BandDetail)->height = 600;
  ReportControl* title = report.CreateControl(10, ReportVariable, kDetail);
  title->x = 0;
  title->y = 0;
  title->width = 3000;
  title->height = 250;
  title->picture = "@s20";
  title->field = FieldRef::Of(invoice);
  ReportControl* sum = report.CreateControl(11, ReportVariable, kDetail);
  sum->x = 4000;
  sum->y = 300;
  sum->width = 3000;
  sum->height = 250;
  sum->picture = "@s20";
  sum->field = FieldRef::Of(total);
  PreviewQueue queue;
  if (!report.Open()) return {};
  report.SetPageQueue(&queue);
  for (int n = 1; n <= count; ++n) {
    SetText(FieldRef::Of(invoice), "Invoice " + std::to_string(n));
    SetText(FieldRef::Of(total), "Total " + std::to_string(n * 10));
    if (n > 1) report.BreakPage();
    if (!report.Print(kDetail)) return {};
  }
  if (!report.EndReport()) return {};
  // The report would remove the pages it still holds when it closes.
  PreviewQueue pages;
  pages.swap(queue);
  report.Close();
  return pages;
}

}  // namespace ledora::testing
