#include "runtime/qtwindow/qt_program.h"

#include <QApplication>

#include "runtime/qtwindow/qt_presenter.h"

namespace ledora::runtime {

int RunWithQt(int& argc, char** argv, Procedure main, size_t stackSize) {
  QApplication application(argc, argv);
  Scheduler scheduler;
  QtPresenter presenter(scheduler);
  presenter.Run(std::move(main), stackSize);
  return 0;
}

}  // namespace ledora::runtime
