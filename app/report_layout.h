// The report half of an invoicing report procedure: the report with its
// page header, page footer and detail bands, built at the first record from
// the design in R_D, its field controls bound by label to the invoicing
// record buffers, and the printing of one detail. Kept apart from the
// progress window so that the report engine's and the window engine's
// small types never meet in one unit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ledora::layout {
struct ContentRecord;
}  // namespace ledora::layout

namespace ledora::runtime {
class FontMetrics;
class Report;
}  // namespace ledora::runtime

namespace ledora::app {

class ReportLayout {
 public:
  // details: how many detail bands the procedure prints (1 or 2). metrics
  // (not owned) measures text; null: the report's approximate metrics.
  ReportLayout(int details, runtime::FontMetrics* metrics, const std::string& pageFolder);
  ~ReportLayout();
  ReportLayout(const ReportLayout&) = delete;
  ReportLayout& operator=(const ReportLayout&) = delete;

  runtime::Report& report() { return *report_; }
  bool built() const { return built_; }
  // Builds the design in R_D: the report settings, then the page header,
  // page footer and detail bands; each field control whose label is one of
  // fields shows that field of its record buffer, "LOC:PRINTDATE" today's
  // date, the others stay as the design made them. R_Content must be open. content, when given, is
  // built instead of the design in R_D.
  void Build(const std::vector<std::string_view>& fields,
             const std::vector<layout::ContentRecord>* content = nullptr);
  // Prints detail band `detail` (from 1) with the buffers' current values.
  bool PrintDetail(int detail);
  // Ends the page now; the next detail starts page 1 of a new document
  // (with its own page count). False when the page could not be finished.
  bool NewDocument();
  // Ends the last page of an open report; the run ends it anyway, but later.
  bool EndReport();

 private:
  std::unique_ptr<runtime::Report> report_;
  int details_;
  int32_t printDate_ = 0;  // standard date
  bool built_ = false;
};

}  // namespace ledora::app
