#include "runtime/qtwindow/qt_modal.h"

#include <QDialog>
#include <QPointer>

#include "runtime/window/scheduler.h"

namespace ledora::runtime {

int ShowModal(QDialog* dialog) {
  Scheduler* scheduler = Scheduler::Current();
  if (scheduler == nullptr || !scheduler->InThread()) return dialog->exec();
  bool finished = false;
  int result = QDialog::Rejected;
  int32_t thread = scheduler->CurrentThread();
  QPointer<QDialog> guard(dialog);
  auto connection = QObject::connect(dialog, &QDialog::finished, dialog, [&, thread](int code) {
    result = code;
    finished = true;
    scheduler->Wake(thread);
  });
  dialog->open();
  if (!scheduler->WaitUntil([&] { return finished || guard.isNull(); }) && !guard.isNull()) {
    dialog->reject();
  }
  if (!guard.isNull()) QObject::disconnect(connection);
  return result;
}

}  // namespace ledora::runtime
