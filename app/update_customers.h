// The customer update form: inserts, changes or deletes one customer as the
// caller's PendingRequest asks, and leaves its answer in LastResponse. The
// customers browse calls it on its own thread.
#pragma once

#include <cstdint>

#include "app/update_form.h"

namespace ledora::app {

enum UpdateCustomersControl : int32_t {
  CustomerIdEntry = FormEntry(0),
  CustomerNameEntry = FormEntry(1),
  CustomerAddress1Entry = FormEntry(2),
  CustomerAddress2Entry = FormEntry(3),
  CustomerTelephoneEntry = FormEntry(4),
  CustomerTelefaxEntry = FormEntry(5),
};

class UpdateCustomersForm : public UpdateForm {
 public:
  UpdateCustomersForm();
};

void UpdateCustomers();

}  // namespace ledora::app
