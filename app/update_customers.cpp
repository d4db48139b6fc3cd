#include "app/update_customers.h"

#include "app/invoicing_dictionary.h"

namespace ledora::app {

namespace {

const FormDescription kCustomerForm{"UpdateCustomers",
                                    "Update the Customers File",
                                    "Adding a Customers Record",
                                    "Changing a Customers Record",
                                    {
                                        {"Customer ID:", "CUS:CUSTOMERID", ""},
                                        {"Name:", "CUS:NAME", "Customer Name"},
                                        {"Address 1:", "CUS:ADDRESS1", "Customer Address 1"},
                                        {"Address 2:", "CUS:ADDRESS2", "Customer Address 2"},
                                        {"Telephone:", "CUS:TELEFON", "Customer telefon"},
                                        {"Telefax:", "CUS:TELEFAX", "Customer telefax number"},
                                    }};

// The values of the last completed form, for the history key of the next.
CustomerRecord customerHistory{};

}  // namespace

UpdateCustomersForm::UpdateCustomersForm()
    : UpdateForm(kCustomerForm, Relate_CUSTOMER, &customerHistory) {}

void UpdateCustomers() {
  UpdateCustomersForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
