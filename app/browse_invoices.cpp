#include "app/browse_invoices.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/update_invoices.h"

namespace ledora::app {

void BrowseInvoices() {
  static const BrowseDescription description{
      .procedure = "BrowseInvoices",
      .title = "Browse the Invoices File",
      .format =
          "39R(2)|M~Invoice nr.~C(0)@n_6@36R(2)|M~Cust. nr.~C(0)@n_6@111L(2)|M~Name~C(0)@s35@"
          "40R(2)|M~Date~C(0)@d17@60R|M~Sales amount~C@n-13.2@",
      .tabs = {{"Invoice numer", InvoiceRecord::NUMBERKEY, framework::LookupAlphabet},
               {"Invoice date", InvoiceRecord::DATEKEY, framework::LookupAlphabet}},
      .primary = &Relate_INVOICES,
      .others = {&Relate_CUSTOMER},
      .fields = &InvoiceColumns,
      .customerName = true,
      .update = &UpdateInvoices,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
