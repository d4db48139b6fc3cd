#include "runtime/qtreport/report_renderer.h"

#include <QGuiApplication>
#include <cstdlib>

#include "runtime/qtreport/qt_font_metrics.h"

namespace ledora::runtime {

int RunWithReportRenderer(int& argc, char** argv, const std::function<int()>& job) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  return job();
}

std::unique_ptr<FontMetrics> MakeRendererFontMetrics() { return std::make_unique<QtFontMetrics>(); }

}  // namespace ledora::runtime
