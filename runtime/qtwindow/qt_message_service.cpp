#include "runtime/qtwindow/qt_message_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <array>
#include <utility>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_modal.h"

namespace ledora::runtime {

namespace {

constexpr std::array<std::pair<uint32_t, QMessageBox::StandardButton>, 8> kButtons{{
    {ButtonOk, QMessageBox::Ok},
    {ButtonYes, QMessageBox::Yes},
    {ButtonNo, QMessageBox::No},
    {ButtonAbort, QMessageBox::Abort},
    {ButtonRetry, QMessageBox::Retry},
    {ButtonIgnore, QMessageBox::Ignore},
    {ButtonCancel, QMessageBox::Cancel},
    {ButtonHelp, QMessageBox::Help},
}};

QMessageBox::Icon IconOf(int32_t icon) {
  switch (icon) {
    case IconHand:
      return QMessageBox::Critical;
    case IconQuestion:
      return QMessageBox::Question;
    case IconExclamation:
      return QMessageBox::Warning;
    case IconAsterisk:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

// Closing the box without a button counts as the gentlest answer it offers.
uint32_t EscapeAnswer(uint32_t buttons, uint32_t fallback) {
  for (uint32_t bit : {ButtonCancel, ButtonNo, ButtonAbort, ButtonIgnore, ButtonOk}) {
    if (buttons & bit) return bit;
  }
  return fallback;
}

}  // namespace

uint32_t QtMessageService::Show(const MessageRequest& request) {
  uint32_t buttons = request.buttons != 0 ? request.buttons : ButtonOk;
  QMessageBox box(IconOf(request.icon), ToQString(request.caption), ToQString(request.text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  for (const auto& [bit, standard] : kButtons) {
    if (buttons & bit) {
      QAbstractButton* button = box.addButton(standard);
      if (bit == request.defaultButton) box.setDefaultButton(static_cast<QPushButton*>(button));
    }
  }
  uint32_t escape = EscapeAnswer(buttons, request.defaultButton);
  for (const auto& [bit, standard] : kButtons) {
    // Qt finds no escape button of its own in, say, Yes and No.
    if (bit == escape && box.button(standard) != nullptr) box.setEscapeButton(box.button(standard));
  }
  box.setWindowModality(Qt::ApplicationModal);
  uint32_t answer = 0;
  // The window that had the focus gets it back, on the control that had it;
  // left to the window manager it may land nowhere.
  QPointer<QWidget> focus = QApplication::focusWidget();
  QObject::connect(&box, &QMessageBox::buttonClicked, &box, [&](QAbstractButton* clicked) {
    for (const auto& [bit, standard] : kButtons) {
      if (box.standardButton(clicked) == standard) answer = bit;
    }
  });
  ShowModal(&box);
  if (!focus.isNull() && focus->isVisible()) {
    focus->window()->activateWindow();
    focus->setFocus(Qt::OtherFocusReason);
  }
  return answer != 0 ? answer : escape;
}

}  // namespace ledora::runtime
