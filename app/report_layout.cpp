#include "app/report_layout.h"

#include <algorithm>

#include "app/invoicing_records.h"
#include "layout/design_database.h"
#include "layout/layout_finder.h"
#include "layout/report_builder.h"
#include "runtime/dates/local_clock.h"
#include "runtime/report/report.h"
#include "runtime/values/fixed_string.h"

namespace ledora::app {

namespace {

enum LayoutBandNumber : int32_t {
  kPageHeader = 2,
  kPageFooter = 3,
  kFirstDetail = 4,
};

// The procedure's own value a layout may show beside the records' fields:
// the day the report was printed.
constexpr char kPrintDateField[] = "LOC:PRINTDATE";

// The invoicing record buffer field a label names ("CUS:NAME"); no address
// when the label names none.
runtime::FieldRef InvoicingField(std::string_view label) {
  std::string upper = runtime::ToUpper1252(label);
  if (upper.starts_with("CUS:")) return CustomerLayout().Bind(&CUS, upper);
  if (upper.starts_with("ITE:")) return ItemLayout().Bind(&ITE, upper);
  if (upper.starts_with("INVL:")) return InvoiceLineLayout().Bind(&INVL, upper);
  if (upper.starts_with("INV:")) return InvoiceLayout().Bind(&INV, upper);
  return {runtime::FieldLong, nullptr, 0, 0};
}

}  // namespace

ReportLayout::ReportLayout(int details, runtime::FontMetrics* metrics,
                           const std::string& pageFolder)
    : report_(std::make_unique<runtime::Report>()), details_(details) {
  if (metrics != nullptr) report_->SetFontMetrics(metrics);
  if (!pageFolder.empty()) report_->SetPageFolder(pageFolder);
  report_->SetFont({"Arial", 0, 0, 0});
  report_->AddBand(kPageHeader, runtime::BandPageHeader);
  report_->AddBand(kPageFooter, runtime::BandPageFooter);
  for (int i = 0; i < details_; ++i) report_->AddBand(kFirstDetail + i, runtime::BandDetail);
}

ReportLayout::~ReportLayout() = default;

void ReportLayout::Build(const std::vector<std::string_view>& fields,
                         const std::vector<layout::ContentRecord>* content) {
  std::vector<layout::LayoutBand> bands = {{layout::BuildPageHeader, 0, kPageHeader},
                                           {layout::BuildPageFooter, 0, kPageFooter}};
  for (int i = 0; i < details_; ++i) {
    bands.push_back({layout::BuildDetail, static_cast<int16_t>(i + 1), kFirstDetail + i});
  }
  printDate_ = runtime::Today();
  auto bind = [&](int32_t number, const std::string& name) {
    std::string upper = runtime::ToUpper1252(name);
    runtime::ReportControl* control = report_->Control(number);
    if (control == nullptr) return;
    if (upper == kPrintDateField) {
      control->field = runtime::FieldRef::Of(printDate_);
    } else if (std::find(fields.begin(), fields.end(), upper) != fields.end()) {
      control->field = InvoicingField(upper);
    }
  };
  if (layout::DesignDatabase* designs = layout::Designs()) {
    layout::LayoutFinder(*designs).BuildReport(*report_, bands, bind, content);
  }
  built_ = true;
}

bool ReportLayout::PrintDetail(int detail) { return report_->Print(kFirstDetail + detail - 1); }

bool ReportLayout::NewDocument() { return report_->BreakDocument(); }

bool ReportLayout::EndReport() { return report_->IsOpen() && report_->EndReport(); }

}  // namespace ledora::app
