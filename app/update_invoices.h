// The invoice update form: inserts, changes or deletes one invoice as the
// caller's PendingRequest asks, looks its customer up (through
// SelectCustomers when the typed number has none) and shows the customer's
// name. The invoices browse calls it; it calls SelectCustomers (procedure 1)
// and UpdateInvoiceLines (procedure 2) on its own thread.
#pragma once

#include <cstdint>

#include "app/update_form.h"
#include "app/update_invoices_line_list.h"

namespace ledora::app {

enum UpdateInvoicesControl : int32_t {
  InvoiceNumberEntry = FormEntry(0),
  InvoiceCustomerEntry = FormEntry(1),
  InvoiceDateEntry = FormEntry(2),
  InvoiceSalesEntry = FormEntry(3),
  InvoiceLookupButton = 40,
  InvoiceCustomerName = 41,
  InvoiceLinesList = 42,
  InvoiceLineInsert = 43,
  InvoiceLineChange = 44,
  InvoiceLineDelete = 45,
};

// The procedures the form calls by number.
enum InvoiceCalledProcedure : uint16_t {
  CallSelectCustomers = 1,
  CallUpdateInvoiceLines = 2,
};

class UpdateInvoicesForm : public UpdateForm {
 public:
  UpdateInvoicesForm();

  void PrepareWindow() override;
  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override;
  uint8_t OnAccepted() override;

  InvoiceLineList& lines() { return lines_; }

 protected:
  uint8_t SetupLists() override;

 private:
  // "Customer ID:" was accepted: the typed customer, else one chosen.
  void LookUpCustomer();
  // The look-up button: a customer chosen from the list, starting at the
  // current one.
  void ChooseCustomer();
  // Puts the invoice's customer in the buffer, or a cleared one when the
  // number has none, so the name shown always belongs to the number.
  bool FetchInvoiceCustomer();

  InvoiceLineList lines_;
};

void UpdateInvoices();

}  // namespace ledora::app
