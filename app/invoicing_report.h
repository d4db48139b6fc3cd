// The five report procedures of the invoicing application: each finds its
// report type and design, builds its report from the design, and runs it
// over its file with the report runner's progress window, then shows the
// pages in the print preview or sends them to an output. The frame's
// "&Reports" menu starts them; `ledora print` runs them without a display.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace ledora::runtime {
class FontMetrics;
class PageOutput;
}  // namespace ledora::runtime

namespace ledora::app {

enum InvoicingReportKind {
  ReportCustomersById,    // "Customers", the design chosen by the user
  ReportCustomersByName,  // "Customers", design "Test"
  ReportItems,            // "Items", design "Standard"
  ReportInvoiceList,      // "Invoice List", design "Standard"
  ReportInvoices,         // "Invoice", design "Standard", one invoice a page
};

struct ReportDestination {
  // Where printed pages go (not owned); null: the system's printer.
  runtime::PageOutput* output = nullptr;
  // false: no preview; the pages print once the report has completed.
  bool preview = true;
  runtime::FontMetrics* metrics = nullptr;  // null: approximate metrics
  std::string pageFolder;                   // for the page images; blank: the temp folder
  // A design named by the caller instead of the procedure's own choice
  // (no fallback to the default design then).
  std::optional<std::string> design;
  // Without a named design, the customer list by number asks the user;
  // false takes the type's default design instead.
  bool askForDesign = true;
};

// The invoice numbers the invoice report prints, both inclusive.
struct InvoiceRange {
  int32_t from = std::numeric_limits<int32_t>::min();
  int32_t to = std::numeric_limits<int32_t>::max();
};

struct ReportOutcome {
  uint8_t response = 0;  // 1 completed, 2 cancelled, no records or not started
  int32_t pages = 0;     // pages the report finished
  bool printed = false;  // they went to the output
};

// Runs one report procedure on the calling procedure thread.
ReportOutcome RunInvoicingReport(InvoicingReportKind kind, const ReportDestination& destination,
                                 InvoiceRange range = {});

// The menu's procedures: preview, then the system's printer.
void PrintCustomersById();
void PrintCustomersByName();
void PrintItems();
void PrintInvoiceList();
// The invoice report for the numbers of the invoice range window.
void PrintInvoiceRange(int32_t from, int32_t to);

}  // namespace ledora::app
