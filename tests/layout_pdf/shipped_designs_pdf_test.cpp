#include <gtest/gtest.h>

#include <map>

#include "runtime/report/report.h"
#include "runtime/values/fixed_string.h"
#include "tests/layout_pdf/design_pdf.h"

namespace ledora::layout {
namespace {

// Sample values for every field a shipped design can show.
struct Samples {
  int32_t customerId = 4711, itemNr = 815, invoiceNr = 2024, invoiceCustomer = 4711;
  int32_t invoiceDate = 80000, lineItem = 815, quantity = 12, printDate = 81000;
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
        {"LOC:PRINTDATE", runtime::FieldRef::Of(printDate)},
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
  ShippedDesignFiles files;
  ASSERT_TRUE(files.ok());
  Samples samples;
  auto bind = [&](const std::string& field, runtime::ReportControl& control) {
    bool bound = samples.Bind(field, control);
    EXPECT_TRUE(bound) << field;
    return bound;
  };
  ASSERT_TRUE(
      files.Print(expected.type, expected.design, expected.type == 4 ? 2 : 1, bind, "out.pdf"));

  std::string text = CommandOutput("pdftotext '" + files.folder.File("out.pdf") + "' -");
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
                  "Hafenstrasse 12", "0431 55501", "Printed on", "Page 1 of 1"}},
        Expected{1,
                 "Test",
                 {"Customers by Name", "Bergmann Tools", "Kiel", "0431 55502", "Page 1 of 1"}},
        Expected{2,
                 "Standard",
                 {"Item List", "Description", "815", "Socket wrench", "1,234.50", "Page 1 of 1"}},
        Expected{3,
                 "Standard",
                 {"Invoice List", "Sales", "2024", "Bergmann Tools", "98,765.40", "Page 1 of 1"}},
        Expected{4,
                 "Standard",
                 {"Your Company Name", "Invoice", "Invoice number", "Customer number", "Quantity",
                  "Unit price", "Amount", "2024", "4711", "Bergmann Tools", "Hafenstrasse 12",
                  "Invoice total", "98,765.40", "Socket wrench", "12", "1,234.50", "17.25",
                  "Page 1 of 1", "Payable within 30 days"}}));

}  // namespace
}  // namespace ledora::layout
