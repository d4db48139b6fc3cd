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

}  // namespace

UpdateInvoicesForm::UpdateInvoicesForm()
    : UpdateForm(kInvoiceForm, Relate_INVOICES, &invoiceHistory) {
  UseFile(Relate_CUSTOMER);
  UseFile(Relate_INVOICEL);
  UseFile(Relate_ITEMS);
  runtime::Window& w = win();
  // The total follows the lines; typing one would only be overwritten.
  w.SetReadOnly(InvoiceSalesEntry, true);
  runtime::Rect entry = w.GetRect(InvoiceCustomerEntry);
  int32_t x = entry.x + entry.width + 2;
  w.CreateControl(InvoiceLookupButton, runtime::ControlButton, FormTab);
  w.SetIcon(InvoiceLookupButton, "pilned.ico");
  w.SetRect(InvoiceLookupButton, {x, entry.y - 1, 12, 12});
  w.CreateControl(InvoiceCustomerName, runtime::ControlString, FormTab);
  w.SetUse(InvoiceCustomerName, runtime::FieldRef::Of(CUS.NAME));
  w.SetPicture(InvoiceCustomerName, "@s35");
  w.SetRect(InvoiceCustomerName, {x + 16, entry.y, 140, 10});
  runtime::Rect sheet = w.GetRect(FormSheet);
  int32_t top = BelowFields();
  InvoiceLineList::CreateControls(w, kLineControls, FormTab,
                                  {sheet.x + 6, top, sheet.width - 12, kListHeight});
  FinishLayout(top + kListHeight + 24);
}

uint8_t UpdateInvoicesForm::SetupLists() {
  return lines_.Setup(this, kLineControls, CallUpdateInvoiceLines);
}

void UpdateInvoicesForm::PrepareWindow() {
  FetchInvoiceCustomer();
  UpdateForm::PrepareWindow();
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

uint8_t UpdateInvoicesForm::OnAccepted() {
  uint8_t result = UpdateForm::OnAccepted();
  if (result != data::SeverityNone) return result;
  switch (event().accepted) {
    case InvoiceCustomerEntry:
      LookUpCustomer();
      break;
    case InvoiceLookupButton:
      ChooseCustomer();
      break;
    default:
      break;
  }
  return result;
}

void UpdateInvoicesForm::LookUpCustomer() {
  if (!FetchInvoiceCustomer()) {
    if (CallUpdateProcedure(CallSelectCustomers, framework::RequestSelect) ==
        framework::ResponseCompleted) {
      INV.CUSTOMERID = CUS.CUSTOMERID;
    }
    FetchInvoiceCustomer();
  }
  win().Display();
}

void UpdateInvoicesForm::ChooseCustomer() {
  FetchInvoiceCustomer();
  if (CallUpdateProcedure(CallSelectCustomers, framework::RequestSelect) ==
      framework::ResponseCompleted) {
    INV.CUSTOMERID = CUS.CUSTOMERID;
  }
  FetchInvoiceCustomer();
  win().Display();
}

bool UpdateInvoicesForm::FetchInvoiceCustomer() {
  CUS.CUSTOMERID = INV.CUSTOMERID;
  if (Access_CUSTOMER->FetchQuietly(CustomerRecord::IDKEY) == data::SeverityNone) return true;
  Access_CUSTOMER->ClearRecord();
  CUS.CUSTOMERID = INV.CUSTOMERID;
  return false;
}

void UpdateInvoices() {
  UpdateInvoicesForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
