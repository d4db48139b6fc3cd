// Measures report text with the real fonts the Qt renderers draw with, so
// that natural sizes and word wrap match the printed page. Needs a
// QGuiApplication; the report runner gives it to the report it prints.
#pragma once

#include <QFontMetricsF>
#include <map>
#include <memory>
#include <string>

#include "runtime/report/font_metrics.h"

namespace ledora::runtime {

class QtFontMetrics : public FontMetrics {
 public:
  int32_t TextWidth(const ReportFont& font, std::string_view text) override;
  int32_t LineHeight(const ReportFont& font) override;

 private:
  const QFontMetricsF& MetricsFor(const ReportFont& font);

  std::map<std::string, std::unique_ptr<QFontMetricsF>> cache_;
};

}  // namespace ledora::runtime
