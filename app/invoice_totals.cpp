#include "app/invoice_totals.h"

#include "app/invoicing_dictionary.h"
#include "runtime/system/runtime_error.h"

namespace ledora::app {

namespace {

runtime::FieldRef LinePrice() {
  return runtime::FieldRef::Packed(INVL.PRICE, kMoneySize, kMoneyPlaces);
}
runtime::FieldRef Sales() { return runtime::FieldRef::Packed(INV.SALES, kMoneySize, kMoneyPlaces); }

}  // namespace

bool SumInvoiceLines(int32_t invoice, runtime::Decimal* total) {
  data::FileManager& lines = *Access_INVOICEL;
  if (lines.MakeUsable() != data::SeverityNone) return false;
  uint16_t state = lines.SaveFileState();
  INVL.INVOICENR = invoice;
  lines.ClearKeyComponents(InvoiceLineRecord::LINENRKEY, 2);
  bool read = lines.SetOnKey(InvoiceLineRecord::LINENRKEY) == runtime::ErrorNone;
  if (!read) lines.NoteError(data::MsgRecordRetrievalError);
  runtime::Decimal sum;
  uint8_t next = data::SeverityNone;
  while (read && (next = lines.NextQuietly()) == data::SeverityNone && INVL.INVOICENR == invoice) {
    sum = sum + runtime::GetNumber(LinePrice());
  }
  // The loop ends at the next invoice's first line or at the file's end.
  read = read && (next == data::SeverityNone || lines.AtEnd());
  lines.RestoreFileState(state);
  if (read) *total = sum;
  return read;
}

data::FileManager* StoreInvoiceTotal(int32_t invoice, const runtime::Decimal& total,
                                     bool* changed) {
  if (changed != nullptr) *changed = false;
  data::FileManager& invoices = *Access_INVOICES;
  if (invoices.MakeUsable() != data::SeverityNone) return &invoices;
  const InvoiceRecord kept = INV;
  INV.NUMBER = invoice;
  int32_t code = invoices.CurrentFile().Fetch(InvoiceRecord::NUMBERKEY);
  data::FileManager* failed = nullptr;
  if (code == runtime::ErrorRecordNotFound) {
    // Lines of an invoice that is gone follow nothing.
  } else if (code != runtime::ErrorNone) {
    invoices.NoteError(data::MsgRecordRetrievalError);
    failed = &invoices;
  } else if (runtime::GetNumber(Sales()) != total) {
    runtime::SetNumber(Sales(), total);
    if (runtime::GetNumber(Sales()) != total) {
      // More than the field holds: refused rather than stored wrong.
      runtime::SetFileError(runtime::ErrorFileSystem, "INV:SALES", "The total is too large");
      invoices.NoteError(data::MsgRecordNotUpdated);
      failed = &invoices;
    } else if (invoices.UpdateNoted(data::UpdateQuiet) != data::SeverityNone) {
      failed = &invoices;
    } else if (changed != nullptr) {
      *changed = true;
    }
  }
  INV = kept;
  if (failed == nullptr && INV.NUMBER == invoice && code == runtime::ErrorNone) {
    runtime::SetNumber(Sales(), total);
  }
  return failed;
}

std::vector<data::RelationController*> InvoiceTotals::FollowingFiles() { return {Relate_INVOICES}; }

data::FileManager* InvoiceTotals::Follow() {
  int32_t invoice = INVL.INVOICENR;
  runtime::Decimal total;
  if (!SumInvoiceLines(invoice, &total)) return Access_INVOICEL;
  return StoreInvoiceTotal(invoice, total);
}

}  // namespace ledora::app
