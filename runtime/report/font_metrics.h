// Measures text for pagination (natural sizes, word wrap). The Qt
// implementation measures the real fonts; ApproximateFontMetrics needs no
// fonts at all and serves the text dump and headless runs.
#pragma once

#include <cstdint>
#include <string_view>

#include "runtime/report/report_types.h"

namespace ledora::runtime {

class FontMetrics {
 public:
  virtual ~FontMetrics() = default;
  // Thousandths of an inch, for a resolved font; text is Windows-1252.
  virtual int32_t TextWidth(const ReportFont& font, std::string_view text) = 0;
  virtual int32_t LineHeight(const ReportFont& font) = 0;
};

// Every character half an em wide, lines 1.2 em apart: close enough to a
// proportional sans serif to paginate the same way in every environment.
class ApproximateFontMetrics : public FontMetrics {
 public:
  int32_t TextWidth(const ReportFont& font, std::string_view text) override;
  int32_t LineHeight(const ReportFont& font) override;
};

}  // namespace ledora::runtime
