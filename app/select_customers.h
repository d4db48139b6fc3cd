// The selection list of customers: called with the select request
// (PendingRequest 4) by the invoice form's customer look-up; it opens on
// the customer in CUS and, when the user selects one, leaves that customer
// in CUS and LastResponse 1 (else 2).
#pragma once

namespace ledora::app {

void SelectCustomers();

}  // namespace ledora::app
