#include "app/browse_customers.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/update_customers.h"

namespace ledora::app {

void BrowseCustomers() {
  static const BrowseDescription description{
      .procedure = "BrowseCustomers",
      .title = "Browse the Customers File",
      .format =
          "45R(2)|M~Customer ID~C(0)@n-13@80L(2)|M~Name~@s35@80L(2)|M~Address 1~@s30@"
          "80L(2)|M~Address 2~@s30@80L(2)|M~Telephone~@s20@80L(2)|M~Telefax~@s30@",
      .tabs = CustomerTabs(),
      .primary = &Relate_CUSTOMER,
      .fields = &CustomerColumns,
      .update = &UpdateCustomers,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
