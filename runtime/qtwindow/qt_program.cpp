#include "runtime/qtwindow/qt_program.h"

#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/qtwindow/qt_presenter.h"

namespace ledora::runtime {

namespace {

constexpr char kNoDisplay[] =
    "ledora: the windows need a graphical display (none was found); export, import, print "
    "and the other jobs run without one\n";

// Qt's complaints while it looks for a display, held back: they are shown
// only if the application starts after all, and a missing display ends
// the program with one plain line instead of Qt's abort.
std::vector<std::string>& HeldBack() {
  static std::vector<std::string> messages;
  return messages;
}

void WhileStarting(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg) {
    std::fputs(kNoDisplay, stderr);
    std::fflush(stderr);
    _exit(1);
  }
  HeldBack().push_back(message.toStdString());
}

bool HasDisplay(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "-platform") return true;
  }
  if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

int RunWithQt(int& argc, char** argv, Procedure main, size_t stackSize) {
  if (!HasDisplay(argc, argv)) {
    std::fputs(kNoDisplay, stderr);
    return 1;
  }
  QtMessageHandler previous = qInstallMessageHandler(WhileStarting);
  QApplication application(argc, argv);
  qInstallMessageHandler(previous);
  for (const std::string& message : HeldBack()) std::fprintf(stderr, "%s\n", message.c_str());
  HeldBack().clear();
  Scheduler scheduler;
  QtPresenter presenter(scheduler);
  presenter.Run(std::move(main), stackSize);
  return 0;
}

}  // namespace ledora::runtime
