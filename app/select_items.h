// The selection list of items: called with the select request (PendingRequest
// 4) by the invoice line form's item look-up; it opens on the item in ITE
// and, when the user selects one, leaves that item in ITE and LastResponse 1
// (else 2).
#pragma once

namespace ledora::app {

void SelectItems();

}  // namespace ledora::app
