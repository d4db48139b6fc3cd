// Shows a dialog modally without a nested event loop: on a procedure thread
// the thread waits for the answer while Qt's own loop goes on; only code
// outside every thread (start-up, a fatal halt) falls back to exec().
#pragma once

class QDialog;

namespace ledora::runtime {

// The dialog's result code; QDialog::Rejected when the threads shut down.
int ShowModal(QDialog* dialog);

}  // namespace ledora::runtime
