#include "app/browse_items.h"

#include "app/browse_list.h"
#include "app/invoicing_dictionary.h"
#include "app/update_items.h"

namespace ledora::app {

void BrowseItems() {
  static const BrowseDescription description{
      .procedure = "BrowseItems",
      .title = "Browse the Items File",
      .format =
          "60R(2)|M~Item Nr~C(0)@n-13@80L(2)|M~Description~L(2)@s30@60D(26)|M~Price~C(0)@n-13.2@",
      .tabs = {{"Item number", ItemRecord::ITEMNRKEY, framework::LookupAlphabet},
               {"Description", ItemRecord::DESCRIPTIONKEY, framework::LookupAlphabet}},
      .primary = &Relate_ITEMS,
      .fields = &ItemColumns,
      .update = &UpdateItems,
  };
  RunBrowseWindow(description);
}

}  // namespace ledora::app
