#include "app/browse_items.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/update_items.h"

namespace ledora::app {

void BrowseItems() {
  static const BrowseDescription description{
      .procedure = "BrowseItems",
      .title = "Browse the Items File",
      .format = kItemsFormat,
      .tabs = ItemTabs(),
      .primary = &Relate_ITEMS,
      .fields = &ItemColumns,
      .update = &UpdateItems,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
