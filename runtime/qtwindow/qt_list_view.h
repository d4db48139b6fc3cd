// The list control on screen: columns and headers from the list format, the
// rows the model holds, and for a paged list a scroll bar of its own whose
// moves become scroll events, because the rows are only one page of the data.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "runtime/qtwindow/qt_units.h"
#include "runtime/window/control.h"

class QScrollBar;
class QTableWidget;

namespace ledora::runtime {

class QtListView : public QWidget {
  Q_OBJECT

 public:
  struct Callbacks {
    std::function<void(int32_t row, int32_t keyCode)> chose;
    std::function<void(int32_t keyCode)> key;
    std::function<void(int32_t event, int32_t thumb)> scrolled;
    std::function<void(int32_t notches)> wheeled;             // up is positive
    std::function<void(int32_t rows)> measured;               // the rows that fit
    std::function<void(int32_t row, QPoint global)> dragged;  // dropped outside the list
  };

  QtListView(QWidget* parent, Callbacks callbacks);

  void Show(const Control& control, const QtUnits& units);
  int32_t RowAt(const QPoint& listPoint) const;
  // The rows that fit when the list is this high.
  int32_t RowsFor(int height) const;
  QTableWidget* table() const { return table_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowColumns(const Control& control, const QtUnits& units);
  void ShowRows(const Control& control);
  int HeaderWidth(const std::string& text) const;  // pixels the header text needs
  void Measure();
  void OnScrollAction(int action);

  Callbacks callbacks_;
  QTableWidget* table_;
  QScrollBar* scroll_;
  bool paged_ = false;
  bool showing_ = false;
  int32_t lastMeasured_ = -1;
  std::string format_;
  QPoint pressAt_;
  bool pressed_ = false;
  int wheelAngle_ = 0;  // eighths of a degree not yet a whole notch
  // Column widths the user dragged; a new format of as many columns (the
  // sort marker moving to another header) keeps them.
  std::vector<int> userWidths_;
};

}  // namespace ledora::runtime
