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
  auto addText = [&](int32_t number, int32_t x, int32_t y, char(&field)[21]) {
    ReportControl* text = report.CreateControl(number, ReportVariable, kDetail);
    text->x = x;
    text->y = y;
    text->width = 3000;
    text->height = 250;
    text->picture = "@s20";
    text->field = FieldRef::Of(field);
  };
  addText(10, 0, 0, invoice);
  addText(11, 4000, 300, total);
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
