// The invoice range window "Print Invoices": the first and last invoice
// number to print, each looked up in the invoices (or chosen from their
// selection list), and "Print", which runs the invoice report for them.
// The frame's "Invoices" entry starts it.
#pragma once

namespace ledora::app {

void PrintInvoices();

}  // namespace ledora::app
