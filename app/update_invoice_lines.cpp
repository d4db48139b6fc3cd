#include "app/update_invoice_lines.h"

#include "app/invoicing_dictionary.h"
#include "app/select_items.h"

namespace ledora::app {

namespace {

const FormDescription kInvoiceLineForm{"UpdateInvoiceLines",
                                       "Update the InvoiceLines File",
                                       "Adding a InvoiceLines Record",
                                       "Changing a InvoiceLines Record",
                                       {
                                           {"Invoice Nr:", "INVL:INVOICENR", ""},
                                           {"Line Nr:", "INVL:LINENR", ""},
                                           {"Item Nr:", "INVL:ITEMNR", "Invoice line item nr"},
                                           {"Quantity:", "INVL:QUANTITY", "Quantity sold"},
                                           {"Price:", "INVL:PRICE", "Invoice line total price"},
                                       }};

// The values of the last completed form, for the history key of the next.
InvoiceLineRecord invoiceLineHistory{};

const FormLookup kItemLookup{LineItemNrEntry,
                             LineItemLookupButton,
                             runtime::FieldRef::Of(INVL.ITEMNR),
                             runtime::FieldRef::Of(ITE.ITEMNR),
                             &Access_ITEMS,
                             ItemRecord::ITEMNRKEY,
                             CallSelectItems,
                             true};

runtime::FieldRef Money(unsigned char (&field)[kMoneySize]) {
  return runtime::FieldRef::Packed(field, kMoneySize, kMoneyPlaces);
}

}  // namespace

UpdateInvoiceLinesForm::UpdateInvoiceLinesForm()
    : UpdateForm(kInvoiceLineForm, Relate_INVOICEL, &invoiceLineHistory) {
  UseFile(Relate_ITEMS);
  // The invoice's list gives a line its invoice; moving it to another
  // would change a total nobody is looking at.
  win().SetReadOnly(LineInvoiceNrEntry, true);
  AddLookup(kItemLookup, LineItemDescription, runtime::FieldRef::Of(ITE.DESCRIPTION), "@s30");
}

void UpdateInvoiceLinesForm::PrepareWindow() {
  // A line opened for a change keeps its price until the user changes what
  // it was worked out from.
  pricedItem_ = INVL.ITEMNR;
  pricedQuantity_ = INVL.QUANTITY;
  UpdateForm::PrepareWindow();
}

uint8_t UpdateInvoiceLinesForm::CallUpdateProcedure(uint16_t procedure, uint8_t request) {
  if (procedure != CallSelectItems) return framework::ResponseCancelled;
  framework::PendingRequest = request;
  SelectItems();
  return framework::LastResponse;
}

data::Severity UpdateInvoiceLinesForm::OnAccepted() {
  data::Severity result = UpdateForm::OnAccepted();
  if (result == data::SeverityNone && event().accepted == LineQuantityEntry) {
    if (FetchLookup(kItemLookup)) FillPrice();
    win().Display();
  }
  return result;
}

void UpdateInvoiceLinesForm::LookedUp(const FormLookup& lookup, bool found) {
  if (found) FillPrice();
}

void UpdateInvoiceLinesForm::FillPrice() {
  if (INVL.ITEMNR == pricedItem_ && INVL.QUANTITY == pricedQuantity_) return;
  runtime::Decimal price = runtime::GetNumber(Money(ITE.PRICE)) * runtime::Decimal(INVL.QUANTITY);
  // A product too large for the field leaves the price to the user.
  if (!runtime::PackDecimal(price, INVL.PRICE, kMoneySize, kMoneyPlaces)) return;
  pricedItem_ = INVL.ITEMNR;
  pricedQuantity_ = INVL.QUANTITY;
}

void UpdateInvoiceLines() {
  UpdateInvoiceLinesForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
