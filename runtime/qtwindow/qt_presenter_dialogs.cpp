// The common dialogs and popup menus of the Qt presenter; each waits
// without a nested event loop when asked from a procedure thread.
#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>
#include <QToolTip>
#include <vector>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_modal.h"
#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/system/file_names.h"
#include "runtime/system/message_service.h"
#include "runtime/window/popup_menu_text.h"

namespace ledora::runtime {

namespace {

// "Design files|*.KDS|All files|*.*" becomes "Design files (*.KDS);;All files (*.*)".
QString NameFilters(const std::string& filter) {
  QStringList parts = ToQString(filter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
  }
  return filters.join(";;");
}

QWidget* ActiveParent() { return QApplication::activeWindow(); }

}  // namespace

bool QtPresenter::AskFileName(FileDialogRequest* request) {
  QFileDialog dialog(ActiveParent(), ToQString(request->title));
  dialog.setAcceptMode(request->save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request->save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request->filter.empty()) dialog.setNameFilter(NameFilters(request->filter));
  if (!request->fileName.empty()) dialog.selectFile(ToQString(ResolveFileName(request->fileName)));
  if (ShowModal(&dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  std::string chosen;
  if (!FromQString(dialog.selectedFiles().front(), &chosen)) return false;
  request->fileName = chosen;
  return true;
}

bool QtPresenter::AskColour(int32_t* colour, std::string_view title) {
  QColorDialog dialog(ToQColor(*colour), ActiveParent());
  if (!title.empty()) dialog.setWindowTitle(ToQString(title));
  if (ShowModal(&dialog) != QDialog::Accepted) return false;
  *colour = FromQColor(dialog.selectedColor());
  return true;
}

bool QtPresenter::AskFont(Font* font, std::string_view title) {
  QFontDialog dialog(ToQFont(*font, QApplication::font()), ActiveParent());
  if (!title.empty()) dialog.setWindowTitle(ToQString(title));
  if (ShowModal(&dialog) != QDialog::Accepted) return false;
  *font = FromQFont(dialog.selectedFont(), font->colour);
  return true;
}

std::vector<std::string> QtPresenter::FontFamilies() {
  std::vector<std::string> families;
  for (const QString& family : QFontDatabase::families()) {
    // A family whose name Windows-1252 cannot hold could not be stored in a design.
    if (std::string name; FromQString(family, &name)) families.push_back(std::move(name));
  }
  return families;
}

bool QtPresenter::AskPrinterSetup() {
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    MessageRequest request;
    request.caption = "Print Setup";
    request.icon = IconExclamation;
    request.text = "No printer is installed on this computer.";
    Messages().Show(request);
    return false;
  }
  QPrinter& chosen = printer();
  if (!chosenPrinter_.empty()) chosen.setPrinterName(QString::fromStdString(chosenPrinter_));
  QPrintDialog dialog(&chosen, ActiveParent());
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  if (ShowModal(&dialog) != QDialog::Accepted) return false;
  // A file chosen in the dialog is no printer; the queue keeps its choice.
  if (chosen.outputFormat() == QPrinter::NativeFormat) {
    chosenPrinter_ = chosen.printerName().toStdString();
  }
  return true;
}

std::string QtPresenter::PrinterName() {
  QStringList installed = QPrinterInfo::availablePrinterNames();
  if (!chosenPrinter_.empty() && installed.contains(QString::fromStdString(chosenPrinter_))) {
    return chosenPrinter_;
  }
  QPrinterInfo fallback = QPrinterInfo::defaultPrinter();
  if (!fallback.isNull()) return fallback.printerName().toStdString();
  return installed.isEmpty() ? std::string() : installed.front().toStdString();
}

int32_t QtPresenter::Popup(Window* owner, std::string_view text) {
  QtWindowView* view = owner != nullptr ? ViewOf(*owner) : nullptr;
  QMenu menu(view != nullptr ? view->top() : ActiveParent());
  std::vector<QMenu*> levels{&menu};
  for (const PopupEntry& entry : ParsePopupMenu(text)) {
    levels.resize(std::clamp<size_t>(entry.depth, 1, levels.size()));
    QMenu* into = levels.back();
    if (entry.separator) {
      into->addSeparator();
      continue;
    }
    QString label = ToQString(entry.text);
    if (entry.submenu) {
      QMenu* sub = into->addMenu(label);
      sub->setEnabled(!entry.disabled);
      levels.push_back(sub);
      continue;
    }
    QAction* action = into->addAction(label);
    action->setData(entry.number);
    action->setEnabled(!entry.disabled);
    action->setCheckable(entry.checkable);
    action->setChecked(entry.checked);
    action->setIcon(ToQIcon(entry.icon));
  }
  Scheduler* scheduler = Scheduler::Current();
  if (scheduler == nullptr || !scheduler->InThread()) {
    QAction* chosen = menu.exec(QCursor::pos());
    return chosen != nullptr ? chosen->data().toInt() : 0;
  }
  int32_t choice = 0;
  bool done = false;
  int32_t thread = scheduler->CurrentThread();
  QObject::connect(&menu, &QMenu::triggered, &menu, [&](QAction* action) {
    choice = action->data().toInt();
    done = true;
    scheduler->Wake(thread);
  });
  // A menu closes before its triggered signal; give the choice a turn first.
  QObject::connect(&menu, &QMenu::aboutToHide, &menu, [&, scheduler, thread] {
    QMetaObject::invokeMethod(
        &menu,
        [&, scheduler, thread] {
          done = true;
          scheduler->Wake(thread);
        },
        Qt::QueuedConnection);
  });
  menu.popup(QCursor::pos());
  scheduler->WaitUntil([&] { return done; });
  return choice;
}

void QtPresenter::Beep() { QApplication::beep(); }

void QtPresenter::ShowTip(Window& window, int32_t control, const std::string& text) {
  QtWindowView* view = ViewOf(window);
  QWidget* widget = view != nullptr ? view->WidgetOf(control) : nullptr;
  if (widget == nullptr) return;
  // Below the field, where it does not hide what was typed.
  QToolTip::showText(widget->mapToGlobal(QPoint(0, widget->height())), ToQString(text), widget);
}

}  // namespace ledora::runtime
