// The invoice line update form: inserts, changes or deletes one line of an
// invoice as the caller's PendingRequest asks, and leaves its answer in
// LastResponse. It looks the line's item up (through SelectItems when the
// typed number has none), shows the item's description and fills the price
// with quantity times the item's price. The lines list of the invoice form
// calls it; it calls SelectItems (procedure 1) on its own thread.
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
  LineItemLookupButton = 40,
  LineItemDescription = 41,
};

enum InvoiceLineCalledProcedure : uint16_t {
  CallSelectItems = 1,
};

class UpdateInvoiceLinesForm : public UpdateForm {
 public:
  UpdateInvoiceLinesForm();

  void PrepareWindow() override;
  uint8_t CallUpdateProcedure(uint16_t procedure, uint8_t request) override;
  data::Severity OnAccepted() override;

 protected:
  void LookedUp(const FormLookup& lookup, bool found) override;

 private:
  // Price := quantity x the item's price, when the item or the quantity
  // differs from the last priced; a price typed over stays otherwise.
  void FillPrice();

  int32_t pricedItem_ = 0;
  int32_t pricedQuantity_ = 0;
};

void UpdateInvoiceLines();

}  // namespace ledora::app
