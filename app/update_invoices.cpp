#include "app/update_invoices.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "app/invoicing_dictionary.h"
#include "app/select_customers.h"
#include "app/update_invoice_lines.h"
#include "data/message_numbers.h"

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
      // The line form leaves the line it wrote or deleted in the buffer.
      if (framework::LastResponse == framework::ResponseCompleted) {
        if (request == framework::RequestInsert) addedLines_.push_back(INVL.LINENR);
        if (request == framework::RequestDelete) std::erase(addedLines_, INVL.LINENR);
      }
      return framework::LastResponse;
    default:
      framework::PendingRequest = framework::RequestNone;
      return framework::ResponseCancelled;
  }
}

void UpdateInvoicesForm::PrepareWindow() {
  atOpening_ = INV;
  UpdateForm::PrepareWindow();
}

// The total follows the lines, which are stored already.
bool UpdateInvoicesForm::HasUnsavedChanges() {
  InvoiceRecord now = INV;
  std::memcpy(now.SALES, atOpening_.SALES, sizeof now.SALES);
  return !addedLines_.empty() || std::memcmp(&now, &atOpening_, sizeof now) != 0;
}

uint32_t UpdateInvoicesForm::AskToSave() {
  if (addedLines_.empty()) return UpdateForm::AskToSave();
  data::MessageNumber message = data::MsgSaveInvoiceWithNewLine;
  if (addedLines_.size() > 1) {
    message = data::MsgSaveInvoiceWithNewLines;
    if (ERRORS != nullptr) ERRORS->MESSAGETEXT = std::to_string(addedLines_.size());
  }
  return AskMessage(message, runtime::ButtonYes | runtime::ButtonNo | runtime::ButtonCancel,
                    runtime::ButtonCancel);
}

// A new invoice gives its number back with every line under it; a changed
// one loses only the lines added here.
void UpdateInvoicesForm::DiscardChanges() {
  if (ORIGINALREQUEST != framework::RequestChange) return;
  for (int32_t line : addedLines_) {
    INVL.INVOICENR = INV.NUMBER;
    INVL.LINENR = line;
    if (Access_INVOICEL->FetchQuietly(InvoiceLineRecord::LINENRKEY) == data::SeverityNone) {
      Relate_INVOICEL->Delete(false);
    }
  }
  addedLines_.clear();
}

void UpdateInvoices() {
  UpdateInvoicesForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
