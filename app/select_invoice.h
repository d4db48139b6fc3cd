// The selection list of invoices, in invoice number order: called with the
// select request by the invoice range window; it opens on the invoice in
// INV and, when the user selects one, leaves it in INV and LastResponse 1
// (else 2).
#pragma once

namespace ledora::app {

void SelectInvoice();

}  // namespace ledora::app
