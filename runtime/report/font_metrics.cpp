#include "runtime/report/font_metrics.h"

#include <algorithm>

namespace ledora::runtime {

namespace {
// One point is 1000/72 thousandths of an inch.
int32_t EmMils(const ReportFont& font) { return std::max(font.size, 1) * 1000 / 72; }
}  // namespace

int32_t ApproximateFontMetrics::TextWidth(const ReportFont& font, std::string_view text) {
  return static_cast<int32_t>(text.size()) * EmMils(font) / 2;
}

int32_t ApproximateFontMetrics::LineHeight(const ReportFont& font) { return EmMils(font) * 6 / 5; }

}  // namespace ledora::runtime
