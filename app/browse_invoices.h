// The invoices browse of the "&Browse" menu: the invoices with their
// customer's name, by number or by date, inserted, changed and deleted
// through UpdateInvoices.
#pragma once

namespace ledora::app {

void BrowseInvoices();

}  // namespace ledora::app
