#include "runtime/qtreport/report_renderer.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "runtime/qtreport/qt_font_metrics.h"

namespace ledora::runtime {

namespace {

// A script reads the job's own messages on standard error; Qt's notes about
// its environment (no runtime folder, no session) are no business of it.
void OnlySeriousQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}

}  // namespace

int RunWithReportRenderer(int& argc, char** argv, const std::function<int()>& job) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  qInstallMessageHandler(OnlySeriousQtMessages);
  QGuiApplication application(argc, argv);
  return job();
}

std::unique_ptr<FontMetrics> MakeRendererFontMetrics() { return std::make_unique<QtFontMetrics>(); }

}  // namespace ledora::runtime
