#include "app/update_items.h"

#include "app/invoicing_dictionary.h"

namespace ledora::app {

namespace {

const FormDescription kItemForm{"UpdateItems",
                                "Update the Items File",
                                "Adding a Items Record",
                                "Changing a Items Record",
                                {
                                    {"Item Nr:", "ITE:ITEMNR", ""},
                                    {"Description:", "ITE:DESCRIPTION", "Item description"},
                                    {"Price:", "ITE:PRICE", "Item price"},
                                }};

// The values of the last completed form, for the history key of the next.
ItemRecord itemHistory{};

}  // namespace

UpdateItemsForm::UpdateItemsForm() : UpdateForm(kItemForm, Relate_ITEMS, &itemHistory) {}

void UpdateItems() {
  UpdateItemsForm form;
  framework::LastResponse = form.Run();
}

}  // namespace ledora::app
