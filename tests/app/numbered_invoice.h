// An invoice of three lines added through the invoicing files' managers,
// which number the invoice and its lines: what the stations of the
// numbering test and benchmark each do over and over. The dictionary must
// be set up and both files open.
#pragma once

#include "app/invoicing_dictionary.h"
#include "app/invoicing_records.h"

namespace ledora::testing {

// False when a number could not be had.
inline bool AddNumberedInvoice() {
  using namespace ledora::app;
  Access_INVOICES->PrimeRecord();
  INV.CUSTOMERID = 1;
  INV.INVOICEDATE = 82000;
  if (Access_INVOICES->Insert() != 0) return false;
  for (int line = 0; line < 3; ++line) {
    Access_INVOICEL->ClearRecord();
    INVL.INVOICENR = INV.NUMBER;
    INVL.ITEMNR = line + 1;
    if (Access_INVOICEL->Insert() != 0) return false;
  }
  return true;
}

}  // namespace ledora::testing
