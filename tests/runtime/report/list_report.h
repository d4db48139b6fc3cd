// A customer list as the invoicing reports print it: page form, header with
// page number, footer, a group heading kept with the lines after it and one
// line per customer. Shared by the report tests, the PDF tests and the
// report benchmark, so all of them exercise the same pagination.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/report/report.h"

namespace ledora::testing {

class ListReport {
 public:
  static constexpr int32_t kForm = 1, kHeader = 2, kFooter = 3, kHeading = 10, kLine = 11;
  // Every tenth customer starts a group; every 30th group starts a new page
  // and the page ends after every 250th customer.
  static constexpr int kGroupSize = 10, kGroupsPerBreak = 30, kLinesPerBreak = 250;

  explicit ListReport(const std::string& pageFolder) {
    using namespace runtime;
    SetText(FieldRef::Of(name), "");  // a record field is blank, not zeros
    report.SetPageFolder(pageFolder);
    report.SetPrintableArea(500, 1000, 7000, 9000);
    report.SetFont({"Arial", 400, 10, 0});
    report.AddBand(kForm, BandPageForm);
    report.AddBand(kHeader, BandPageHeader)->y = 500;
    report.AddBand(kFooter, BandPageFooter)->y = 10200;
    ReportBand* heading = report.AddBand(kHeading, BandDetail);
    heading->height = 350;
    heading->withNext = 2;
    report.AddBand(kLine, BandDetail)->height = 200;

    Add(100, ReportBox, kForm, 500, 1000, 7000, 9000);
    Add(101, ReportString, kForm, 500, 11000, 3000, 200)->text = "Printed by Ledora";
    Add(102, ReportString, kHeader, 500, 0, 3000, 250)->text = "Customer list";
    ReportControl* page = Add(103, ReportPageNumber, kHeader, 6000, 0, 1500, 250);
    page->justify = ReportJustify::Right;
    Add(104, ReportString, kFooter, 500, 0, 3000, 200)->text = "Confidential";
    ReportControl* heading1 = Add(110, ReportString, kHeading, 0, 100, 1000, 250);
    heading1->text = "Group";
    heading1->font.style = FontWeightBold;
    ReportControl* heading2 = Add(111, ReportVariable, kHeading, 1000, 100, 1000, 250);
    heading2->picture = "@n4";
    heading2->field = FieldRef::Of(group);
    Add(120, ReportVariable, kLine, 0, 0, 1000, 200)->field = FieldRef::Of(number);
    control(120)->picture = "@n6";
    Add(121, ReportVariable, kLine, 1200, 0, 4000, 200)->field = FieldRef::Of(name);
    control(121)->picture = "@s30";
  }

  // Prints customers 1 to count and ends the report; false on the first failure.
  bool Run(int count) {
    if (!report.Open()) return false;
    for (number = 1; number <= count; ++number) {
      if (number % kGroupSize == 1) {
        group = (number - 1) / kGroupSize + 1;
        report.Band(kHeading)->pageBefore = group % kGroupsPerBreak == 0;
        if (!report.Print(kHeading)) return false;
      }
      runtime::SetText(runtime::FieldRef::Of(name), "Customer " + std::to_string(number));
      report.Band(kLine)->pageAfter = number % kLinesPerBreak == 0;
      if (!report.Print(kLine)) return false;
    }
    return report.EndReport();
  }

  runtime::ReportControl* control(int32_t n) { return report.Control(n); }

  runtime::Report report;
  int32_t number = 0;
  int32_t group = 0;
  char name[31] = {};

 private:
  runtime::ReportControl* Add(int32_t n, runtime::ReportControlKind kind, int32_t band, int32_t x,
                              int32_t y, int32_t width, int32_t height) {
    runtime::ReportControl* c = report.CreateControl(n, kind, band);
    c->x = x;
    c->y = y;
    c->width = width;
    c->height = height;
    c->transparent = true;
    return c;
  }
};

}  // namespace ledora::testing
