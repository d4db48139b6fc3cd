#include "tests/reporting/report_pages.h"

#include <filesystem>

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
  // The report removes its spool when it closes: the pages are kept in a copy.
  std::error_code ec;
  std::string kept = (std::filesystem::path(folder) / "pages.ldsp").string();
  std::filesystem::copy_file(queue.front().FILENAME, kept,
                             std::filesystem::copy_options::overwrite_existing, ec);
  PreviewQueue pages;
  pages.swap(queue);
  report.Close();
  if (ec) return {};
  for (PreviewQueueEntry& entry : pages) entry.FILENAME = kept;
  return pages;
}

}  // namespace ledora::testing
