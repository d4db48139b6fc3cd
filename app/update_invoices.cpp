#include "app/update_invoices.h"

#include "app/invoicing_dictionary.h"
#include "app/select_customers.h"
#include "app/update_invoice_lines.h"

namespace ledora::app {

namespace {

const FormDescription kInvoiceForm{"UpdateInvoices",
                                   "Update the Invoices File",
                                   "Adding a Invoices Record",
                                   "Changing a Invoices Record",
                                   {
                                       {"Number:", "INV:NUMBER", ""},
                                       {"Customer ID:", "INV:CUSTOMERID", "Customer ID number"},
                                       {"Invoice Date:", "INV:INVOICEDATE", "Invoice date"},
                                       {"Sales:", "INV:SALES", "Total sales on invoice"},
                                   }};

// The values of the last completed form, for the history key of the next.
InvoiceRecord invoiceHistory{};

constexpr LineListControls kLineControls{InvoiceLinesList, InvoiceLineInsert, InvoiceLineChange,
                                         InvoiceLineDelete};
constexpr int32_t kListHeight = 90;

const FormLookup kCustomerLookup{InvoiceCustomerEntry,
                                 InvoiceLookupButton,
                                 runtime::FieldRef::Of(INV.CUSTOMERID),
                                 runtime::FieldRef::Of(CUS.CUSTOMERID),
                                 &Access_CUSTOMER,
                                 CustomerRecord::IDKEY,
                                 CallSelectCustomers,
                                 false};

}  // namespace

UpdateInvoicesForm::UpdateInvoicesForm()
    : UpdateForm(kInvoiceForm, Relate_INVOICES, &invoiceHistory) {
  UseFile(Relate_CUSTOMER);
  UseFile(Relate_INVOICEL);
  UseFile(Relate_ITEMS);
  runtime::Window& w = win();
  // The total follows the lines; typing one would only be overwritten.
  w.SetReadOnly(InvoiceSalesEntry, true);
  AddLookup(kCustomerLookup, InvoiceCustomerName, runtime::FieldRef::Of(CUS.NAME), "@s35");
  runtime::Rect sheet = w.GetRect(FormSheet);
  int32_t top = BelowFields();
  InvoiceLineList::CreateControls(w, kLineControls, FormTab,
                                  {sheet.x + 6, top, sheet.width - 12, kListHeight});
  FinishLayout(top + kListHeight + 24);
}

uint8_t UpdateInvoicesForm::SetupLists() {
  return lines_.Setup(this, kLineControls, CallUpdateInvoiceLines);
}

uint8_t UpdateInvoicesForm::CallUpdateProcedure(uint16_t procedure, uint8_t request) {
  framework::PendingRequest = request;
  switch (procedure) {
    case CallSelectCustomers:
      SelectCustomers();
      return framework::LastResponse;
    case CallUpdateInvoiceLines:
      UpdateInvoiceLines();
      return framework::LastResponse;
    default:
      framework::PendingRequest = framework::RequestNone;
      return framework::ResponseCancelled;
  }
}

void UpdateInvoices() {
  UpdateInvoicesForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
