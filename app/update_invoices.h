// The invoice update form: inserts, changes or deletes one invoice as the
// caller's PendingRequest asks, looks its customer up (through
// SelectCustomers when the typed number has none) and shows the customer's
// name. The invoices browse calls it; it calls SelectCustomers (procedure 1)
// and UpdateInvoiceLines (procedure 2) on its own thread.
#pragma once

#include <cstdint>
#include <vector>

#include "app/invoicing_records.h"
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

  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override;
  void PrepareWindow() override;
  // Lines are stored as they are saved in the line form; leaving without
  // saving the invoice takes back the ones this form added.
  bool HasUnsavedChanges() override;
  uint32_t AskToSave() override;
  void DiscardChanges() override;

  InvoiceLineList& lines() { return lines_; }

 protected:
  uint8_t SetupLists() override;

 private:
  InvoiceLineList lines_;
  InvoiceRecord atOpening_{};        // as the window opened
  std::vector<int32_t> addedLines_;  // line numbers, still stored
};

void UpdateInvoices();

}  // namespace ledora::app
