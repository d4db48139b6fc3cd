#include "app/update_invoice_lines.h"

#include "app/invoicing_dictionary.h"

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

}  // namespace

UpdateInvoiceLinesForm::UpdateInvoiceLinesForm()
    : UpdateForm(kInvoiceLineForm, Relate_INVOICEL, &invoiceLineHistory) {
  // The invoice's list gives a line its invoice; moving it to another
  // would change a total nobody is looking at.
  win().SetReadOnly(LineInvoiceNrEntry, true);
}

void UpdateInvoiceLines() {
  UpdateInvoiceLinesForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
