#include "runtime/qtwindow/qt_list_view.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QWheelEvent>
#include <vector>

#include "runtime/qtwindow/qt_conversions.h"
#include "runtime/window/event.h"

namespace ledora::runtime {

namespace {

Qt::Alignment AlignmentOf(Justification justification) {
  switch (justification) {
    case JustifyRight:
    case JustifyDecimal:
      return Qt::AlignRight | Qt::AlignVCenter;
    case JustifyCentre:
      return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
      return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// Keeps each column's text its indent away from the edge it is justified to.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  struct Indent {
    int pixels = 0;
    bool decimal = false;  // to the decimal point, from the right edge
  };
  std::vector<Indent> indents;  // by column

 protected:
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    int column = index.column();
    Indent look = column < static_cast<int>(indents.size()) ? indents[column] : Indent{};
    if (look.pixels <= 0) return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    int indent = look.pixels;
    if (look.decimal) {
      qsizetype point = cell.text.indexOf('.');
      QString fraction = point < 0 ? QString() : cell.text.mid(point);
      indent = std::max(0, indent - cell.fontMetrics.horizontalAdvance(fraction));
    }
    QStyle* style = cell.widget != nullptr ? cell.widget->style() : QApplication::style();
    // The cell's background and focus fill it whole; only the text moves in.
    QStyleOptionViewItem text = cell;
    cell.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    text.state &= ~QStyle::State_HasFocus;
    if (text.displayAlignment & Qt::AlignRight) {
      text.rect.adjust(0, 0, -indent, 0);
    } else if (text.displayAlignment & Qt::AlignLeft) {
      text.rect.adjust(indent, 0, 0, 0);
    }
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, text.widget);
  }
};

bool IsNavigation(int32_t code) {
  switch (code & ~KeyShift) {
    case KeyUp:
    case KeyDown:
    case KeyPageUp:
    case KeyPageDown:
    case KeyHome:
    case KeyEnd:
    case KeyCtrlHome:
    case KeyCtrlEnd:
    case KeyEnter:
      return true;
    default:
      return false;
  }
}

}  // namespace

QtListView::QtListView(QWidget* parent, Callbacks callbacks)
    : QWidget(parent), callbacks_(std::move(callbacks)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  table_ = new QTableWidget(this);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setItemDelegate(new IndentDelegate(table_));
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  // A selected row would otherwise set every header in bold.
  table_->horizontalHeader()->setHighlightSections(false);
  table_->setFocusPolicy(Qt::StrongFocus);
  table_->installEventFilter(this);
  table_->viewport()->installEventFilter(this);
  scroll_ = new QScrollBar(Qt::Vertical, this);
  scroll_->setRange(0, 100);
  scroll_->setPageStep(10);
  scroll_->hide();
  layout->addWidget(table_);
  layout->addWidget(scroll_);
  connect(scroll_, &QScrollBar::actionTriggered, this, &QtListView::OnScrollAction);
  connect(table_->horizontalHeader(), &QHeaderView::sectionResized, this,
          [this](int column, int, int width) {
            if (showing_ || column >= static_cast<int>(userWidths_.size())) return;
            userWidths_[column] = width;
          });
  connect(scroll_, &QScrollBar::sliderReleased, this, [this] {
    if (callbacks_.scrolled) callbacks_.scrolled(EventScrollDrag, scroll_->value());
  });
}

void QtListView::Show(const Control& control, const QtUnits& units) {
  showing_ = true;
  paged_ = control.immediate;
  table_->setVerticalScrollBarPolicy(paged_ ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  // Rows as high as a line of the list's font, as list boxes have them.
  QHeaderView* rows = table_->verticalHeader();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  if (format_ != control.formatText || table_->columnCount() == 0) ShowColumns(control, units);
  ShowRows(control);
  scroll_->setVisible(paged_ && control.vscroll && control.thumbShown);
  scroll_->setValue(control.thumb);
  showing_ = false;
  Measure();
}

void QtListView::ShowColumns(const Control& control, const QtUnits& units) {
  format_ = control.formatText;
  const auto& columns = control.format.columns();
  if (userWidths_.size() != columns.size()) userWidths_.assign(columns.size(), 0);
  table_->setColumnCount(std::max<int>(1, static_cast<int>(columns.size())));
  bool headers = false;
  auto* delegate = static_cast<IndentDelegate*>(table_->itemDelegate());
  delegate->indents.clear();
  for (size_t i = 0; i < columns.size(); ++i) {
    delegate->indents.push_back(
        {units.ToX(columns[i].indent), columns[i].justification == JustifyDecimal});
    auto* header = new QTableWidgetItem(ToQString(columns[i].header));
    header->setTextAlignment(AlignmentOf(columns[i].headerJustification));
    table_->setHorizontalHeaderItem(static_cast<int>(i), header);
    // Never narrower than the header's text, which would be cut off.
    int width = std::max(units.ToX(columns[i].width), HeaderWidth(columns[i].header));
    table_->setColumnWidth(static_cast<int>(i), userWidths_[i] > 0 ? userWidths_[i] : width);
    headers |= !columns[i].header.empty();
  }
  table_->horizontalHeader()->setVisible(headers);
  table_->horizontalHeader()->setStretchLastSection(true);
}

void QtListView::ShowRows(const Control& control) {
  const auto& columns = control.format.columns();
  table_->setRowCount(static_cast<int>(control.rows.size()));
  for (int r = 0; r < static_cast<int>(control.rows.size()); ++r) {
    const auto& row = control.rows[r];
    for (int c = 0; c < table_->columnCount(); ++c) {
      QString text = c < static_cast<int>(row.size()) ? ToQString(row[c]) : QString();
      QTableWidgetItem* item = table_->item(r, c);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        table_->setItem(r, c, item);
      }
      item->setText(text);
      if (c < static_cast<int>(columns.size())) {
        item->setTextAlignment(AlignmentOf(columns[c].justification));
      }
    }
  }
  if (control.selection >= 1 && control.selection <= static_cast<int32_t>(control.rows.size())) {
    table_->selectRow(control.selection - 1);
  } else {
    table_->clearSelection();
  }
}

int QtListView::HeaderWidth(const std::string& text) const {
  if (text.empty()) return 0;
  QHeaderView* header = table_->horizontalHeader();
  int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  return header->fontMetrics().horizontalAdvance(ToQString(text)) + 4 * margin;
}

int32_t QtListView::RowAt(const QPoint& listPoint) const {
  int row = table_->rowAt(listPoint.y());
  return row < 0 ? 0 : row + 1;
}

int32_t QtListView::RowsFor(int height) const {
  int rowHeight = table_->verticalHeader()->defaultSectionSize();
  if (rowHeight <= 0) return 1;
  int header =
      table_->horizontalHeader()->isVisible() ? table_->horizontalHeader()->sizeHint().height() : 0;
  int usable = height - header - 2 * table_->frameWidth();
  // Columns wider than the list bring a scroll bar that takes a row's room.
  int across = width() - 2 * table_->frameWidth() -
               (scroll_->isVisibleTo(this) ? scroll_->sizeHint().width() : 0);
  if (table_->horizontalHeader()->length() > across) {
    usable -= table_->horizontalScrollBar()->sizeHint().height();
  }
  return static_cast<int32_t>(std::max(1, usable / rowHeight));
}

void QtListView::Measure() {
  int rowHeight = table_->verticalHeader()->defaultSectionSize();
  if (rowHeight <= 0) return;
  auto rows = static_cast<int32_t>(std::max(1, table_->viewport()->height() / rowHeight));
  if (rows == lastMeasured_) return;
  lastMeasured_ = rows;
  if (callbacks_.measured) callbacks_.measured(rows);
}

void QtListView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!showing_) Measure();
}

void QtListView::OnScrollAction(int action) {
  int32_t event = EventNone;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
      event = EventScrollUp;
      break;
    case QAbstractSlider::SliderSingleStepAdd:
      event = EventScrollDown;
      break;
    case QAbstractSlider::SliderPageStepSub:
      event = EventPageUp;
      break;
    case QAbstractSlider::SliderPageStepAdd:
      event = EventPageDown;
      break;
    case QAbstractSlider::SliderToMinimum:
      event = EventScrollTop;
      break;
    case QAbstractSlider::SliderToMaximum:
      event = EventScrollBottom;
      break;
    default:
      return;
  }
  // The model moves the thumb; the bar itself must stay where it was.
  scroll_->setSliderPosition(scroll_->value());
  if (callbacks_.scrolled) callbacks_.scrolled(event, scroll_->value());
}

bool QtListView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == table_ && event->type() == QEvent::KeyPress) {
    int32_t code = KeyCodeOf(*static_cast<QKeyEvent*>(event));
    if (code != 0 && callbacks_.key && IsNavigation(code)) {
      callbacks_.key(code);
      return true;
    }
    return false;
  }
  if (watched != table_->viewport()) return false;
  if (event->type() == QEvent::Wheel && paged_) {
    // A paged list holds one page: the wheel scrolls the records, not the page.
    wheelAngle_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
    int notches = wheelAngle_ / QWheelEvent::DefaultDeltasPerStep;
    wheelAngle_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0 && callbacks_.wheeled) callbacks_.wheeled(notches);
    return true;
  }
  auto* mouse = dynamic_cast<QMouseEvent*>(event);
  if (mouse == nullptr) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::LeftButton) {
        pressAt_ = mouse->position().toPoint();
        pressed_ = true;
        int32_t row = RowAt(pressAt_);
        if (row > 0 && callbacks_.chose) callbacks_.chose(row, KeyMouseLeft);
      }
      table_->setFocus();
      return true;
    case QEvent::MouseButtonDblClick:
      if (mouse->button() == Qt::LeftButton && callbacks_.chose) {
        int32_t row = RowAt(mouse->position().toPoint());
        if (row > 0) callbacks_.chose(row, KeyMouseLeftDouble);
      }
      return true;
    case QEvent::MouseButtonRelease:
      if (mouse->button() == Qt::RightButton && callbacks_.chose) {
        callbacks_.chose(RowAt(mouse->position().toPoint()), KeyMouseRightUp);
      } else if (pressed_ && callbacks_.dragged &&
                 (mouse->position().toPoint() - pressAt_).manhattanLength() >=
                     QApplication::startDragDistance() &&
                 !table_->viewport()->rect().contains(mouse->position().toPoint())) {
        callbacks_.dragged(RowAt(pressAt_), mouse->globalPosition().toPoint());
      }
      pressed_ = false;
      return true;
    default:
      return false;
  }
}

}  // namespace ledora::runtime
