// The invoice line update form: inserts, changes or deletes one line of an
// invoice as the caller's PendingRequest asks, and leaves its answer in
// LastResponse. The lines list of the invoice form calls it.
#pragma once

#include <cstdint>

#include "app/update_form.h"

namespace ledora::app {

enum UpdateInvoiceLinesControl : int32_t {
  LineInvoiceNrEntry = FormEntry(0),
  LineNrEntry = FormEntry(1),
  LineItemNrEntry = FormEntry(2),
  LineQuantityEntry = FormEntry(3),
  LinePriceEntry = FormEntry(4),
};

class UpdateInvoiceLinesForm : public UpdateForm {
 public:
  UpdateInvoiceLinesForm();
};

void UpdateInvoiceLines();

}  // namespace ledora::app
