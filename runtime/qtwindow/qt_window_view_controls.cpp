// The widgets of the controls: one per control kind, and how each shows the
// model's properties.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QValidator>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/qtwindow/qt_list_view.h"
#include "runtime/qtwindow/qt_page_pixmap.h"
#include "runtime/qtwindow/qt_page_widget.h"
#include "runtime/qtwindow/qt_presenter.h"
#include "runtime/qtwindow/qt_shape_widget.h"
#include "runtime/qtwindow/qt_units.h"
#include "runtime/qtwindow/qt_window_view.h"
#include "runtime/system/file_names.h"

namespace ledora::runtime {

namespace {

// An entry takes only what the program can store: Windows-1252 characters.
class Cp1252Validator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    std::string ignored;
    return FromQString(input, &ignored) ? Acceptable : Invalid;
  }
};

Qt::Alignment LabelAlignment(const Control& c) {
  return c.type == ControlPrompt ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignTop;
}

}  // namespace

QWidget* QtWindowView::MakeWidget(const Control& c) {
  const int32_t number = c.number;
  QWidget* widget = nullptr;
  // A check or radio with a picture is a toggle button, as in toolbars.
  if ((c.type == ControlCheck || c.type == ControlRadio) && !c.icon.empty()) {
    auto* toggle = new QToolButton(content_);
    toggle->setCheckable(true);
    connect(toggle, &QToolButton::clicked, this, [this, number] {
      if (!applying_) window_.UserPressed(number);
    });
    return toggle;
  }
  switch (c.type) {
    case ControlImage:
      if (!c.pageFile.empty()) {
        widget = new QtPageWidget(
            content_, presenter_.pageCache(), [this, number](QPoint at, Qt::MouseButton button) {
              QtUnits units = Units();
              window_.UserMouse(EventMouseDown, number, units.FromX(at.x()), units.FromY(at.y()),
                                button == Qt::RightButton ? KeyMouseRight : KeyMouseLeft);
            });
        break;
      }
      [[fallthrough]];
    case ControlString:
    case ControlUserString:
    case ControlPrompt: {
      auto* label = new QLabel(content_);
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      label->setAlignment(LabelAlignment(c));
      widget = label;
      break;
    }
    case ControlRegion:
    case ControlLine:
    case ControlBox:
      widget = new QtShapeWidget(content_);
      break;
    case ControlEntry: {
      auto* edit = new QLineEdit(content_);
      edit->setValidator(new Cp1252Validator(edit));
      connect(edit, &QLineEdit::editingFinished, this,
              [this, number, edit] { CommitEntry(number, edit); });
      widget = edit;
      break;
    }
    case ControlButton: {
      auto* button = new QPushButton(content_);
      connect(button, &QPushButton::clicked, this, [this, number] {
        if (!applying_) window_.UserPressed(number);
      });
      widget = button;
      break;
    }
    case ControlCheck: {
      auto* check = new QCheckBox(content_);
      connect(check, &QCheckBox::clicked, this, [this, number] {
        if (!applying_) window_.UserPressed(number);
      });
      widget = check;
      break;
    }
    case ControlRadio: {
      auto* radio = new QRadioButton(content_);
      radio->setAutoExclusive(false);
      connect(radio, &QRadioButton::clicked, this, [this, number] {
        if (!applying_) window_.UserPressed(number);
      });
      widget = radio;
      break;
    }
    case ControlOption:
    case ControlGroup: {
      auto* group = new QGroupBox(content_);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget = group;
      break;
    }
    case ControlPanel: {
      auto* frame = new QFrame(content_);
      frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
      frame->setAttribute(Qt::WA_TransparentForMouseEvents);
      widget = frame;
      break;
    }
    case ControlList: {
      QtListView::Callbacks callbacks;
      callbacks.chose = [this, number](int32_t row, int32_t key) {
        window_.UserChoseRow(number, row, key);
      };
      callbacks.key = [this, number](int32_t key) { window_.UserKey(number, key); };
      callbacks.scrolled = [this, number](int32_t event, int32_t thumb) {
        window_.UserScroll(number, event, thumb);
      };
      callbacks.wheeled = [this, number](int32_t notches) { window_.UserWheel(number, notches); };
      // Measured while being laid out; the model hears of it afterwards.
      callbacks.measured = [this, number](int32_t rows) {
        QMetaObject::invokeMethod(
            this, [this, number, rows] { window_.SetVisibleRows(number, rows); },
            Qt::QueuedConnection);
      };
      callbacks.dragged = [this, number](int32_t, QPoint global) { DropFromList(number, global); };
      auto* list = new QtListView(content_, std::move(callbacks));
      list->setFocusProxy(list->table());
      widget = list;
      break;
    }
    case ControlCombo:
    case ControlDropList:
    case ControlDropCombo: {
      auto* combo = new QComboBox(content_);
      combo->setEditable(c.type != ControlDropList);
      connect(combo, &QComboBox::activated, this, [this, number](int index) {
        if (!applying_) window_.UserChoseRow(number, index + 1);
      });
      if (QLineEdit* edit = combo->lineEdit()) {
        edit->setValidator(new Cp1252Validator(edit));
        connect(edit, &QLineEdit::editingFinished, this,
                [this, number, edit] { CommitEntry(number, edit); });
      }
      widget = combo;
      break;
    }
    case ControlSpin: {
      auto* spin = new QSpinBox(content_);
      connect(spin, &QSpinBox::editingFinished, this, [this, number, spin] {
        if (applying_) return;
        std::string text;
        if (FromQString(spin->text(), &text) && text != window_.GetText(number)) {
          window_.UserTyped(number, text);
        }
      });
      widget = spin;
      break;
    }
    case ControlText: {
      auto* text = new QPlainTextEdit(content_);
      text->installEventFilter(this);
      widget = text;
      break;
    }
    case ControlProgress:
      widget = new QProgressBar(content_);
      break;
    case ControlSheet: {
      auto* tabs = new QTabWidget(content_);
      connect(tabs, &QTabWidget::currentChanged, this, [this, number](int index) {
        if (!applying_ && index >= 0) window_.UserChoseRow(number, index + 1);
      });
      widget = tabs;
      break;
    }
    case ControlTab: {
      auto* sheet = qobject_cast<QTabWidget*>(WidgetOf(c.parent));
      if (sheet == nullptr) return nullptr;
      auto* page = new QWidget;
      applying_ = true;
      sheet->addTab(page, ToQString(c.text));
      applying_ = false;
      return page;
    }
    default:
      return nullptr;
  }
  return widget;
}

void QtWindowView::ShowWidget(const Control& c, QWidget* widget) {
  if (c.type == ControlTab) {
    auto* sheet = qobject_cast<QTabWidget*>(WidgetOf(c.parent));
    if (sheet == nullptr) return;
    int index = sheet->indexOf(widget);
    sheet->setTabText(index, ToQString(c.text));
    sheet->setTabEnabled(index, c.enabled);
    sheet->setTabToolTip(index, ToQString(c.tip));
    return;
  }
  QtUnits units = Units();
  QRect rect = units.ToRect({c.x, c.y, c.width, c.height});
  if (rect.width() <= 0 || rect.height() <= 0) rect.setSize(widget->sizeHint());
  // The toolbar lays out its own widgets; only their width is the model's.
  if (c.onToolbar) {
    widget->setFixedWidth(rect.width());
  } else {
    widget->setGeometry(rect);
  }
  widget->setEnabled(c.enabled);
  widget->setVisible(!c.hidden && !OnHiddenTab(c));
  widget->setToolTip(ToQString(c.tip));
  widget->setFont(ToQFont(c.font, content_->font()));
  QPalette palette = widget->palette();
  if (c.colour != kNoColour) {
    palette.setColor(QPalette::WindowText, ToQColor(c.colour));
    palette.setColor(QPalette::Text, ToQColor(c.colour));
    palette.setColor(QPalette::ButtonText, ToQColor(c.colour));
  }
  if (c.backColour != kNoColour && !c.transparent) {
    palette.setColor(QPalette::Window, ToQColor(c.backColour));
    palette.setColor(QPalette::Base, ToQColor(c.backColour));
  }
  if (c.selectedBackColour != kNoColour)
    palette.setColor(QPalette::Highlight, ToQColor(c.selectedBackColour));
  if (c.selectedColour != kNoColour)
    palette.setColor(QPalette::HighlightedText, ToQColor(c.selectedColour));
  widget->setPalette(palette);
  widget->setAutoFillBackground(c.backColour != kNoColour && !c.transparent);
  ShowText(c, widget);
}

void QtWindowView::ShowText(const Control& c, QWidget* widget) {
  QString text = ToQString(c.text);
  if (auto* page = dynamic_cast<QtPageWidget*>(widget)) {
    std::vector<QtPageWidget::Mark> marks;
    for (const PageMark& m : c.pageMarks) {
      marks.push_back({QRectF(m.x, m.y, m.width, m.height), m.current});
    }
    QtUnits units = Units();
    int pixelWidth = c.pageWidth > 0 ? units.ToRect({0, 0, c.pageWidth, 1}).width() : 0;
    page->ShowPage(c.pageFile, c.pageOffset, pixelWidth, c.centreX, c.centreY, std::move(marks));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (c.type == ControlImage) {
      std::string file = c.icon.empty() ? c.text : c.icon;
      QPixmap pixmap;
      // A page image (the designer's canvas) is drawn as the printer draws it.
      if (IsPageImageFile(file)) {
        pixmap = PagePixmap(ResolveFileName(file), label->width());
      } else {
        pixmap = QPixmap(ToQString(ResolveFileName(file)));
      }
      // An icon the program knows by name ("Layout.ico") needs no file.
      if (pixmap.isNull()) pixmap = ToQIcon(file).pixmap(std::max(16, label->height()));
      label->setPixmap(pixmap);
      label->setScaledContents(true);
    } else {
      label->setText(text);
    }
  } else if (auto* shape = dynamic_cast<QtShapeWidget*>(widget)) {
    shape->Show(c);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text) edit->setText(text);
    edit->setReadOnly(c.readOnly);
    edit->setModified(false);
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QIcon icon = ToQIcon(c.icon);
    // A look-up button whose picture is missing would show nothing at all.
    button->setText(text.isEmpty() && icon.isNull() && !c.icon.empty() ? QStringLiteral("...")
                                                                       : text);
    button->setDefault(c.isDefault);
    button->setIcon(icon);
  } else if (auto* toggle = qobject_cast<QToolButton*>(widget)) {
    QIcon icon = ToQIcon(c.icon);
    toggle->setIcon(icon);
    toggle->setText(text);
    toggle->setAccessibleName(text);
    toggle->setToolButtonStyle(icon.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
    toggle->setChecked(c.checked);
  } else if (auto* check = qobject_cast<QAbstractButton*>(widget)) {
    check->setText(text);
    check->setChecked(c.checked);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  } else if (auto* list = qobject_cast<QtListView*>(widget)) {
    list->Show(c, Units());
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->clear();
    for (const auto& row : c.rows) combo->addItem(row.empty() ? QString() : ToQString(row[0]));
    combo->setCurrentIndex(c.selection - 1);
    if (combo->isEditable()) combo->setEditText(text);
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    spin->setRange(c.rangeLow, c.rangeHigh);
    spin->setSingleStep(c.step);
    spin->setValue(text.trimmed().toInt());
    spin->setReadOnly(c.readOnly);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    if (plain->toPlainText() != text) plain->setPlainText(text);
    plain->setReadOnly(c.readOnly);
    plain->document()->setModified(false);
  } else if (auto* progress = qobject_cast<QProgressBar*>(widget)) {
    progress->setRange(c.rangeLow, c.rangeHigh);
    progress->setValue(c.progress);
  } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
    if (c.selection >= 1 && c.selection <= tabs->count()) tabs->setCurrentIndex(c.selection - 1);
  }
}

}  // namespace ledora::runtime
