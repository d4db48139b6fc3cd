#include "tests/layout_pdf/design_pdf.h"

#include <array>
#include <cstdio>
#include <memory>

#include "layout/record_stream.h"
#include "layout/report_builder.h"
#include "layout/shipped_reports.h"
#include "runtime/qtreport/pdf_output.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "runtime/report/report.h"
#include "runtime/values/fixed_string.h"

namespace ledora::layout {

ShippedDesignFiles::ShippedDesignFiles() {
  designs.DefinitionsFile = folder.File("RptDes1.KDS");
  designs.DesignsFile = folder.File("NewRpt.KDS");
  designs.BuildTableNames();
  ShippedReports shipped;
  ok_ = shipped.Parse(ShippedReportsText(), nullptr) && shipped.MakeDesignFiles(designs) == 0;
  SetDesigns(&designs);
}

ShippedDesignFiles::~ShippedDesignFiles() { SetDesigns(nullptr); }

namespace {

constexpr std::array<DesignTable, 4> kDesignTables = {R_Types, R_Bands, R_Design, R_Content};

}  // namespace

std::unique_ptr<DesignState> ShippedDesignFiles::Load(int32_t type, const char* design) {
  for (DesignTable t : kDesignTables) designs.Use(t);
  R_D = {};
  R_D.TYPENUMBER = type;
  runtime::AssignPadded(R_D.DESIGNNAME, design);
  R_T = {};
  R_T.TYPENUMBER = type;
  std::unique_ptr<DesignState> state;
  if (designs.File(R_Design)->Fetch(DesignRecord::TYPEKEY) == 0 &&
      designs.File(R_Types)->Fetch(ReportTypeRecord::TYPENUMBERKEY) == 0) {
    state = DesignState::Create(nullptr, designs);
    RecordStream stream(designs);
    if (state != nullptr && stream.Load(*state) != 0) state.reset();
  }
  for (DesignTable t : kDesignTables) designs.Release(t);
  return state;
}

bool ShippedDesignFiles::Save(DesignState& state) {
  for (DesignTable t : kDesignTables) designs.Use(t);
  RecordStream stream(designs);
  bool saved = stream.Save(state) == 0;
  for (DesignTable t : kDesignTables) designs.Release(t);
  return saved;
}

FieldBinder BindEvery(std::string* value) {
  return [value](const std::string&, runtime::ReportControl& control) {
    control.field = runtime::FieldRef::Of(*value);
    return true;
  };
}

bool ShippedDesignFiles::Print(int32_t type, const char* design, int detailBands,
                               const FieldBinder& bind, const std::string& pdf, int times) {
  if (!designs.Use(R_Design)) return false;
  if (!designs.Use(R_Content)) {
    designs.Release(R_Design);
    return false;
  }
  R_D = {};
  R_D.TYPENUMBER = type;
  runtime::AssignPadded(R_D.DESIGNNAME, design);
  bool printed = designs.File(R_Design)->Fetch(DesignRecord::TYPEKEY) == 0;
  runtime::Report report;
  runtime::QtFontMetrics metrics;
  report.SetFontMetrics(&metrics);
  for (int16_t band = 1; band <= 3 + detailBands; ++band) {
    report.AddBand(band, band == 1   ? runtime::BandPageForm
                         : band == 2 ? runtime::BandPageHeader
                         : band == 3 ? runtime::BandPageFooter
                                     : runtime::BandDetail);
  }
  std::string field;
  int32_t next = 0;
  BuildReportFromLayout(report, BuildReportLevel, 0, 0, field, next);
  for (int16_t band = 1; printed && band <= 3 + detailBands; ++band) {
    int16_t kind = band == 1   ? BuildPageForm
                   : band == 2 ? BuildPageHeader
                   : band == 3 ? BuildPageFooter
                               : BuildDetail;
    int16_t detail = band > 3 ? band - 3 : 0;
    field.clear();
    while (BuildReportFromLayout(report, kind, detail, band, field, next) == BuildBindField) {
      printed = bind(field, *report.Control(next)) && printed;
    }
  }
  report.SetPageFolder(folder.path());
  printed = printed && report.Open();
  for (int i = 0; i < times; ++i) {
    for (int16_t band = 4; printed && band <= 3 + detailBands; ++band) printed = report.Print(band);
  }
  printed = printed && report.EndReport();
  if (printed) {
    runtime::PdfOutput output(folder.File(pdf));
    printed = report.Flush(output);
  }
  report.Close();
  designs.Release(R_Content);
  designs.Release(R_Design);
  return printed;
}

}  // namespace ledora::layout
