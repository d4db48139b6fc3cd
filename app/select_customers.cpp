#include "app/select_customers.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"

namespace ledora::app {

void SelectCustomers() {
  static const BrowseDescription description{
      .procedure = "SelectCustomers",
      .title = "Select a Customers Record",
      .format =
          "46R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@80L(2)|M~Address 1~@s30@"
          "80L(2)|M~Address 2~@s30@80L(2)|M~Telephone~@s20@80L(2)|M~Telefax~@s30@",
      .tabs = CustomerTabs(),
      .primary = &Relate_CUSTOMER,
      .fields = &CustomerColumns,
      .selecting = true,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
