// An invoice's total (INV:SALES) is the sum of its lines' prices. The
// invoice lines' relation controller has InvoiceTotals as its follower, so
// every added, changed or deleted line stores the new total in the same
// transaction; the recalculate-totals job mends files made before that.
#pragma once

#include <cstdint>
#include <vector>

#include "data/file_manager.h"
#include "data/record_follower.h"
#include "runtime/values/decimal.h"

namespace ledora::app {

// The sum of the stored line prices of the invoice; false when the lines
// could not be read (the lines' manager noted why). Keeps the lines'
// buffer and sequence.
bool SumInvoiceLines(int32_t invoice, runtime::Decimal* total);

// Stores the total as the invoice's INV:SALES when it differs. The buffer
// keeps what it held, except that a buffer holding this invoice (an open
// invoice form) takes the new total, so it shows and saves it. Answers
// nullptr when done (also when there is no such invoice), else the manager
// whose noted message says why; *changed tells whether a total was written.
data::FileManager* StoreInvoiceTotal(int32_t invoice, const runtime::Decimal& total,
                                     bool* changed = nullptr);

class InvoiceTotals : public data::RecordFollower {
 public:
  std::vector<data::RelationController*> FollowingFiles() override;
  data::FileManager* Follow() override;
};

}  // namespace ledora::app
