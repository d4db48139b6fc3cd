#include "app/select_items.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"

namespace ledora::app {

void SelectItems() {
  static const BrowseDescription description{
      .procedure = "SelectItems",
      .title = "Select a Items Record",
      .format = kItemsFormat,
      .tabs = ItemTabs(),
      .primary = &Relate_ITEMS,
      .fields = &ItemColumns,
      .selecting = true,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
