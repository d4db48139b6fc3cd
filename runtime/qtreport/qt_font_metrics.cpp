#include "runtime/qtreport/qt_font_metrics.h"

#include <cmath>

#include "runtime/qtreport/qt_report_types.h"

namespace ledora::runtime {

const QFontMetricsF& QtFontMetrics::MetricsFor(const ReportFont& font) {
  std::string key =
      font.name + '\n' + std::to_string(font.style) + '\n' + std::to_string(font.size);
  std::unique_ptr<QFontMetricsF>& metrics = cache_[key];
  if (!metrics) metrics = std::make_unique<QFontMetricsF>(ToQFont(font));
  return *metrics;
}

int32_t QtFontMetrics::TextWidth(const ReportFont& font, std::string_view text) {
  return static_cast<int32_t>(std::ceil(MetricsFor(font).horizontalAdvance(ToQString(text))));
}

int32_t QtFontMetrics::LineHeight(const ReportFont& font) {
  return static_cast<int32_t>(std::ceil(MetricsFor(font).lineSpacing()));
}

}  // namespace ledora::runtime
