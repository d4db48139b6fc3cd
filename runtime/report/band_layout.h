// Turns a band and its controls into a LaidOutBand: reads bound variables,
// formats them through their pictures, measures and wraps text, resolves
// fonts against the report font. Report uses it for every band it prints.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/report/font_metrics.h"
#include "runtime/report/laid_out_band.h"
#include "runtime/report/report_band.h"
#include "runtime/report/report_control.h"

namespace ledora::runtime {

// The fonts a report has used so far; page items refer to them by index.
class FontTable {
 public:
  uint16_t Index(const ReportFont& font);
  const std::vector<ReportFont>& fonts() const { return fonts_; }

 private:
  std::vector<ReportFont> fonts_;
};

struct LayoutContext {
  ReportUnit unit = ReportUnit::ThousandthsInch;
  ReportFont font;        // the report font, resolved
  int32_t areaWidth = 0;  // mils
  FontMetrics* metrics = nullptr;
  FontTable* fonts = nullptr;
};

class BandLayout {
 public:
  explicit BandLayout(const LayoutContext& context) : context_(context) {}

  LaidOutBand LayOut(const ReportBand& band, const std::map<int32_t, ReportControl>& controls);
  // Breaks text into lines no wider than width: at line breaks in the text,
  // else at the last blank that fits, else inside a word too long for a line.
  static std::vector<std::string> Wrap(std::string_view text, int32_t width, FontMetrics& metrics,
                                       const ReportFont& font);

 private:
  // Appends the control's items (relative to the band) and returns its bottom.
  int32_t AddControl(const ReportControl& control, LaidOutBand* out);
  // A text item at the control's place, size still to be set.
  PageItem TextItem(const ReportControl& control, const ReportFont& font, std::string text);
  int32_t AddText(const ReportControl& control, const std::string& text, LaidOutBand* out);
  int32_t AddTextField(const ReportControl& control, LaidOutBand* out);
  int32_t AddGroup(const ReportControl& control, LaidOutBand* out);
  int32_t AddCheck(const ReportControl& control, LaidOutBand* out);
  int32_t AddShape(const ReportControl& control, LaidOutBand* out);
  std::string ShownText(const ReportControl& control) const;
  int32_t Mils(int32_t value) const { return ToMils(value, context_.unit); }

  LayoutContext context_;
};

}  // namespace ledora::runtime
