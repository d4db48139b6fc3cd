#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>

#include "layout/design_database.h"
#include "layout/report_builder.h"
#include "layout/shipped_reports.h"
#include "runtime/qtreport/pdf_output.h"
#include "runtime/qtreport/qt_font_metrics.h"
#include "runtime/report/report.h"
#include "runtime/storage/sqlite_driver.h"
#include "runtime/values/fixed_string.h"
#include "tests/support/temp_folder.h"

namespace ledora::layout {
namespace {

std::string PdfText(const std::string& pdf) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("pdftotext '" + pdf + "' -").c_str(), "r"),
                                             &pclose);
  if (!pipe) return out;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) out.append(buffer.data(), n);
  return out;
}

// Sample values for every field a shipped design can show.
struct Samples {
  int32_t customerId = 4711, itemNr = 815, invoiceNr = 2024, invoiceCustomer = 4711;
  int32_t invoiceDate = 80000, lineItem = 815, quantity = 12;
  double price = 1234.5, sales = 98765.4, linePrice = 17.25;
  std::string name = "Bergmann Tools", address1 = "Hafenstrasse 12", address2 = "Kiel";
  std::string telefon = "0431 55501", telefax = "0431 55502", description = "Socket wrench";

  bool Bind(const std::string& field, runtime::ReportControl& control) {
    const std::map<std::string, runtime::FieldRef> refs = {
        {"CUS:CUSTOMERID", runtime::FieldRef::Of(customerId)},
        {"CUS:NAME", runtime::FieldRef::Of(name)},
        {"CUS:ADDRESS1", runtime::FieldRef::Of(address1)},
        {"CUS:ADDRESS2", runtime::FieldRef::Of(address2)},
        {"CUS:TELEFON", runtime::FieldRef::Of(telefon)},
        {"CUS:TELEFAX", runtime::FieldRef::Of(telefax)},
        {"ITE:ITEMNR", runtime::FieldRef::Of(itemNr)},
        {"ITE:DESCRIPTION", runtime::FieldRef::Of(description)},
        {"ITE:PRICE", runtime::FieldRef::Of(price)},
        {"INV:NUMBER", runtime::FieldRef::Of(invoiceNr)},
        {"INV:CUSTOMERID", runtime::FieldRef::Of(invoiceCustomer)},
        {"INV:INVOICEDATE", runtime::FieldRef::Of(invoiceDate)},
        {"INV:SALES", runtime::FieldRef::Of(sales)},
        {"INVL:ITEMNR", runtime::FieldRef::Of(lineItem)},
        {"INVL:QUANTITY", runtime::FieldRef::Of(quantity)},
        {"INVL:PRICE", runtime::FieldRef::Of(linePrice)},
    };
    auto found = refs.find(runtime::ToUpper1252(field));
    if (found == refs.end()) return false;
    control.field = found->second;
    return true;
  }
};

struct Expected {
  int32_t type;
  const char* design;
  std::vector<std::string> texts;
};

class ShippedDesignPdfTest : public ::testing::TestWithParam<Expected> {};

TEST_P(ShippedDesignPdfTest, RendersHeadingsAndBoundValues) {
  const Expected& expected = GetParam();
  testing::TempFolder folder;
  runtime::SqliteDriver driver;
  DesignDatabase designs(driver);
  designs.DefinitionsFile = folder.File("RptDes1.KDS");
  designs.DesignsFile = folder.File("NewRpt.KDS");
  designs.BuildTableNames();
  ShippedReports shipped;
  ASSERT_TRUE(shipped.Parse(ShippedReportsText(), nullptr));
  ASSERT_EQ(shipped.MakeDesignFiles(designs), 0);
  SetDesigns(&designs);
  ASSERT_TRUE(designs.Use(R_Design));
  ASSERT_TRUE(designs.Use(R_Content));
  R_D = {};
  R_D.TYPENUMBER = expected.type;
  runtime::AssignPadded(R_D.DESIGNNAME, expected.design);
  ASSERT_EQ(designs.File(R_Design)->Fetch(DesignRecord::TYPEKEY), 0);

  runtime::Report report;
  runtime::QtFontMetrics metrics;
  report.SetFontMetrics(&metrics);
  report.AddBand(1, runtime::BandPageForm);
  report.AddBand(2, runtime::BandPageHeader);
  report.AddBand(3, runtime::BandPageFooter);
  report.AddBand(4, runtime::BandDetail);
  report.AddBand(5, runtime::BandDetail);
  Samples samples;
  std::string field;
  int32_t next = 0;
  BuildReportFromLayout(report, BuildReportLevel, 0, 0, field, next);
  const std::array<std::array<int16_t, 3>, 5> calls = {{{BuildPageForm, 0, 1},
                                                        {BuildPageHeader, 0, 2},
                                                        {BuildPageFooter, 0, 3},
                                                        {BuildDetail, 1, 4},
                                                        {BuildDetail, 2, 5}}};
  for (const auto& [kind, detail, band] : calls) {
    field.clear();
    while (BuildReportFromLayout(report, kind, detail, band, field, next) == BuildBindField) {
      EXPECT_TRUE(samples.Bind(field, *report.Control(next))) << field;
    }
  }
  report.SetPageFolder(folder.path());
  ASSERT_TRUE(report.Open());
  ASSERT_TRUE(report.Print(4));
  if (expected.type == 4) ASSERT_TRUE(report.Print(5));
  ASSERT_TRUE(report.EndReport());
  runtime::PdfOutput pdf(folder.File("out.pdf"));
  ASSERT_TRUE(report.Flush(pdf));
  report.Close();
  SetDesigns(nullptr);
  designs.Release(R_Content);
  designs.Release(R_Design);

  std::string text = PdfText(folder.File("out.pdf"));
  for (const std::string& wanted : expected.texts) {
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted << " in:\n" << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, ShippedDesignPdfTest,
    ::testing::Values(
        Expected{1,
                 "Customer list",
                 {"Customer List", "Number", "Telephone", "4,711", "Bergmann Tools",
                  "Hafenstrasse 12", "0431 55501", "Page 1"}},
        Expected{1, "Test", {"Customers by Name", "Bergmann Tools", "Kiel", "0431 55502"}},
        Expected{2,
                 "Standard",
                 {"Item List", "Description", "815", "Socket wrench", "1,234.50", "Page 1"}},
        Expected{3, "Standard", {"Invoice List", "Sales", "2,024", "Bergmann Tools", "98,765.40"}},
        Expected{4,
                 "Standard",
                 {"Invoice", "Quantity", "2,024", "Bergmann Tools", "Hafenstrasse 12", "98,765.40",
                  "Socket wrench", "12", "17.25"}}));

}  // namespace
}  // namespace ledora::layout
