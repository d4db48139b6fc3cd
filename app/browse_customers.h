// The customers browse of the "&Browse" menu: the customers by ID number or
// by name and address, inserted, changed and deleted through
// UpdateCustomers.
#pragma once

namespace ledora::app {

void BrowseCustomers();

}  // namespace ledora::app
