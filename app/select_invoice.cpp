#include "app/select_invoice.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"

namespace ledora::app {

// The list shows each invoice's customer name, so the customers file is
// opened with the invoices: a caller that has not opened it gets names, not
// a file error.
void SelectInvoice() {
  static const BrowseDescription description{
      .procedure = "SelectInvoice",
      .title = "Browse the Invoices File",
      .format =
          "37R(2)|M~Invoice nr.~L(0)@n_13@36R(2)|M~Date~L(1)@d17@35R(2)|M~Cust. ID~L(1)@n_13@"
          "88R(2)|M~Name~L(1)@s35@60R(2)|M~Sales amount~L(1)@n-13.2@",
      .tabs = {{"Invoice numer", InvoiceRecord::NUMBERKEY, framework::LookupAlphabet}},
      .primary = &Relate_INVOICES,
      .others = {&Relate_CUSTOMER},
      .fields = &SelectInvoiceColumns,
      .customerName = true,
      .selecting = true,
      .selectIcon = "S_OPEN.ICO",
      .closeIcon = "S_EXIT.ICO",
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
