// The item update form: inserts, changes or deletes one item as the
// caller's PendingRequest asks, and leaves its answer in LastResponse. The
// items browse calls it on its own thread.
#pragma once

#include <cstdint>

#include "app/update_form.h"

namespace ledora::app {

enum UpdateItemsControl : int32_t {
  ItemNrEntry = FormEntry(0),
  ItemDescriptionEntry = FormEntry(1),
  ItemPriceEntry = FormEntry(2),
};

class UpdateItemsForm : public UpdateForm {
 public:
  UpdateItemsForm();
};

void UpdateItems();

}  // namespace ledora::app
