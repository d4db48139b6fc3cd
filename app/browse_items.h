// The items browse of the "&Browse" menu: the items by number or by
// description, inserted, changed and deleted through UpdateItems.
#pragma once

namespace ledora::app {

void BrowseItems();

}  // namespace ledora::app
