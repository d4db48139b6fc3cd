// What the report renderers need around them, without their Qt types: the
// application object for a job that renders reports without a display, and
// font metrics measured on the real fonts.
#pragma once

#include <functional>
#include <memory>

#include "runtime/report/font_metrics.h"

namespace ledora::runtime {

// Runs job with a GUI application on the offscreen platform (unless the
// environment names one), so a script can print without a display. argc
// and argv as main() got them.
int RunWithReportRenderer(int& argc, char** argv, const std::function<int()>& job);
// The real fonts' metrics; null without the application of a job or the
// program (the report then measures approximately).
std::unique_ptr<FontMetrics> MakeRendererFontMetrics();

}  // namespace ledora::runtime
